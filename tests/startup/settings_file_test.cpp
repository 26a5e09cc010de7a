#include "startup/settings_file.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "base/errors.h"
#include "support/temp_folder.h"

namespace {

// A new file's lines end as the platform's text files do.
#ifdef _WIN32
constexpr const char* kNewLine = "\r\n";
#else
constexpr const char* kNewLine = "\n";
#endif

std::string newFile(std::initializer_list<const char*> lines) {
    std::string content;
    for (const char* line : lines) content += std::string(line) + kNewLine;
    return content;
}

struct SettingsFileTest : ::testing::Test {
    TempFolder folder;
    SettingsFile settings{folder.file("Telvarn.ini")};

    void given(const std::string& content) { folder.write("Telvarn.ini", content); }
    std::string content() const { return folder.read("Telvarn.ini"); }
    int width() const { return settings.readInteger("VIEW", "WIDTH", 700); }

    std::vector<std::string> filesInFolder() const {
        std::vector<std::string> names;
        for (const auto& entry : std::filesystem::directory_iterator(folder.path())) {
            names.push_back(entry.path().filename().string());
        }
        return names;
    }
};

}  // namespace

// ---- Reading ---------------------------------------------------------------------

TEST_F(SettingsFileTest, IntegersAreDecimalOrHexadecimalElseTheDefault) {
    const std::pair<std::string, int> cases[] = {
        {"100", 100},
        {"-20", -20},
        {"0x300", 768},
        {"0X300", 768},
        {"$1F", 31},
        {"$1f", 31},
        {"  768  ", 768},
        {"768\t", 768},
        {"$FFFFFFFF", -1},
        {"2147483647", 2147483647},
        {"-2147483648", INT32_MIN},
        {"abc", 700},
        {"", 700},
        {"0x", 700},
        {"$", 700},
        {"12abc", 700},
        {"1 2", 700},
        {"0x1G", 700},
        {"2147483648", 700},
        {"$100000000", 700},
        {"1.5", 700},
    };
    for (const auto& [value, expected] : cases) {
        given("[VIEW]\nWIDTH=" + value + "\n");
        EXPECT_EQ(width(), expected) << "value '" << value << "'";
    }
}

TEST_F(SettingsFileTest, AnythingMissingGivesTheDefault) {
    EXPECT_EQ(width(), 700);
    EXPECT_EQ(settings.readString("CHIP", "TYPE", "none"), "none");
    EXPECT_FALSE(folder.exists("Telvarn.ini")) << "reading never creates the file";

    given("[CHIP]\nWIDTH=5\n[VIEW]\nTOP=1\n");
    EXPECT_EQ(width(), 700) << "a key of another section does not count";
    given("WIDTH=5\n[VIEW]\n");
    EXPECT_EQ(width(), 700) << "nor does a key before any section";
}

TEST_F(SettingsFileTest, NamesMatchWithoutRegardToCaseAndAroundSpaces) {
    given("[view]\r\n  Width = 0x300 \r\n");
    EXPECT_EQ(width(), 768);
    given("[ VIEW ]\nwidth=800\n");
    EXPECT_EQ(width(), 800);
    given("\xEF\xBB\xBF[VIEW]\nWIDTH=900\n");
    EXPECT_EQ(width(), 900) << "a byte-order mark before the first section";
}

TEST_F(SettingsFileTest, TheFirstOfDuplicateKeysWins) {
    given("[VIEW]\nWIDTH=800\nWIDTH=900\n[VIEW]\nWIDTH=1000\n");
    EXPECT_EQ(width(), 800);
    settings.writeInteger("VIEW", "width", 810);
    EXPECT_EQ(content(), "[VIEW]\nWIDTH=810\nWIDTH=900\n[VIEW]\nWIDTH=1000\n");
}

TEST_F(SettingsFileTest, CommentsAndOddLinesAreNotSettings) {
    given("[VIEW]\n;WIDTH=1\n#WIDTH=2\n[WIDTH=3\nnonsense\n=4\nWIDTH=5\n");
    EXPECT_EQ(width(), 5);
}

// ---- Writing ---------------------------------------------------------------------

TEST_F(SettingsFileTest, WhatIsWrittenReadsBack) {
    settings.writeInteger("VIEW", "TOP", -8);
    settings.writeInteger("VIEW", "LEFT", 120);
    settings.writeInteger("VIEW", "HEIGHT", 300);
    settings.writeInteger("VIEW", "WIDTH", 700);
    settings.writeString("CHIP", "TYPE", "01");

    EXPECT_EQ(content(), newFile({"[VIEW]", "TOP=-8", "LEFT=120", "HEIGHT=300", "WIDTH=700",
                                  "[CHIP]", "TYPE=01"}));
    EXPECT_EQ(settings.readInteger("view", "top", 100), -8);
    EXPECT_EQ(settings.readInteger("VIEW", "LEFT", 100), 120);
    EXPECT_EQ(settings.readString("CHIP", "TYPE", ""), "01");

    settings.writeString("CHIP", "TYPE", "02");
    EXPECT_EQ(settings.readString("CHIP", "TYPE", ""), "02");
}

TEST_F(SettingsFileTest, AWriteKeepsEverythingElseOfTheFile) {
    given(
        "; window of Telvarn\r\n"
        "[VIEW]\r\n"
        "TOP = 5   \r\n"
        "Width=1\r\n"
        "\r\n"
        "[Extra]\r\n"
        "something odd\r\n"
        "KEY=value with spaces  \r\n");
    settings.writeInteger("VIEW", "WIDTH", 640);
    settings.writeInteger("VIEW", "HEIGHT", 480);
    settings.writeString("CHIP", "TYPE", "02");

    EXPECT_EQ(content(),
              "; window of Telvarn\r\n"
              "[VIEW]\r\n"
              "TOP = 5   \r\n"
              "Width=640\r\n"
              "HEIGHT=480\r\n"
              "\r\n"
              "[Extra]\r\n"
              "something odd\r\n"
              "KEY=value with spaces  \r\n"
              "[CHIP]\r\n"
              "TYPE=02\r\n");
    EXPECT_EQ(settings.readString("extra", "key", ""), "value with spaces");
}

TEST_F(SettingsFileTest, AWriteAfterALastLineWithoutEndingStartsANewLine) {
    given("[VIEW]\nTOP=5");
    settings.writeInteger("VIEW", "LEFT", 7);
    EXPECT_EQ(content(), "[VIEW]\nTOP=5\nLEFT=7\n");

    given("\xEF\xBB\xBFTOP=1\n[VIEW]\n");
    settings.writeInteger("VIEW", "TOP", 2);
    EXPECT_EQ(content(), "\xEF\xBB\xBFTOP=1\n[VIEW]\nTOP=2\n");
}

TEST_F(SettingsFileTest, AFailedWriteNamesTheFileAndLeavesNothingBehind) {
    const std::string missing = (folder.path() / "no such folder" / "Telvarn.ini").string();
    SettingsFile nowhere(missing);
    try {
        nowhere.writeInteger("VIEW", "TOP", 1);
        FAIL() << "the write should fail";
    } catch (const AppError& error) {
        EXPECT_EQ(std::string(error.what()), "Unable to write to " + missing);
    }

    // A folder in the way of the file: the temporary file cannot replace it.
    std::filesystem::create_directory(folder.file("Telvarn.ini"));
    folder.write("Telvarn.ini/inside", "x");
    EXPECT_THROW(settings.writeInteger("VIEW", "TOP", 1), AppError);
    EXPECT_EQ(filesInFolder(), std::vector<std::string>{"Telvarn.ini"});
}

TEST_F(SettingsFileTest, AWriteReplacesTheFileWholeAndLeavesNoTemporaryFile) {
    given("[VIEW]\nTOP=5\n");
    // A second name for the old file: rewriting in place would change it too.
    std::filesystem::create_hard_link(folder.file("Telvarn.ini"), folder.file("old.ini"));
    settings.writeInteger("VIEW", "TOP", 6);
    settings.writeInteger("VIEW", "LEFT", 7);

    EXPECT_EQ(content(), "[VIEW]\nTOP=6\nLEFT=7\n");
    EXPECT_EQ(folder.read("old.ini"), "[VIEW]\nTOP=5\n");
    auto names = filesInFolder();
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"Telvarn.ini", "old.ini"}));
}

TEST_F(SettingsFileTest, ALinkedSettingsFileStaysALink) {
#ifdef _WIN32
    GTEST_SKIP() << "Windows makes symbolic links only for administrators or in developer "
                    "mode, and Wine makes none";
#endif
    std::filesystem::create_directory(folder.file("real"));
    folder.write("real/settings.ini", "[VIEW]\nTOP=5\n");
    std::filesystem::create_symlink(folder.file("real/settings.ini"), folder.file("Telvarn.ini"));
    settings.writeInteger("VIEW", "TOP", 6);

    EXPECT_TRUE(std::filesystem::is_symlink(folder.file("Telvarn.ini")));
    EXPECT_EQ(folder.read("real/settings.ini"), "[VIEW]\nTOP=6\n");
}
