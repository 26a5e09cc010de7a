#include "update/update_files.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>

#include "base/file_path.h"
#include "support/temp_folder.h"

namespace {

// The update's files live beside the program, whose folder may have any name.
struct UpdateFiles : ::testing::Test {
    TempFolder folder;

    void SetUp() override { std::filesystem::create_directory(pathFromUtf8(folder.file("Иван"))); }
    std::string path(const std::string& name) const { return folder.file("Иван/" + name); }
    void write(const std::string& name, const std::string& content) const {
        folder.write("Иван/" + name, content);
    }
    std::string read(const std::string& name) const { return folder.read("Иван/" + name); }
    bool exists(const std::string& name) const { return folder.exists("Иван/" + name); }
};

}  // namespace

TEST_F(UpdateFiles, AMoveNeverReplacesItsTarget) {
    write("version_cbin", "new");
    EXPECT_TRUE(moveWithoutReplacing(path("version_cbin"), path("Telvarn-1_APPL.cbin")));
    EXPECT_FALSE(exists("version_cbin"));
    EXPECT_EQ(read("Telvarn-1_APPL.cbin"), "new");

    write("version_cbin", "newer");
    EXPECT_FALSE(moveWithoutReplacing(path("version_cbin"), path("Telvarn-1_APPL.cbin")));
    EXPECT_EQ(read("version_cbin"), "newer");
    EXPECT_EQ(read("Telvarn-1_APPL.cbin"), "new");
}

TEST_F(UpdateFiles, ACopyReplacesItsTarget) {
    write("Telvarn.exe", "running program");
    write("Telvarn_V14.exe", "older copy");
    EXPECT_TRUE(copyReplacing(path("Telvarn.exe"), path("Telvarn_V14.exe")));
    EXPECT_EQ(read("Telvarn_V14.exe"), "running program");
    EXPECT_EQ(read("Telvarn.exe"), "running program");

    EXPECT_FALSE(copyReplacing(path("missing"), path("Telvarn_V14.exe")));
    EXPECT_EQ(read("Telvarn_V14.exe"), "running program");
    const auto files = std::filesystem::directory_iterator(pathFromUtf8(folder.file("Иван")));
    EXPECT_EQ(std::distance(begin(files), end(files)), 2) << "nothing else is left behind";
}

TEST_F(UpdateFiles, ARemovalFailsForAMissingFileAndOnWindowsForAnOpenOne) {
    EXPECT_FALSE(removeFile(path("version")));

    write("version", "download");
    {
        std::ifstream held(pathFromUtf8(path("version")));
        ASSERT_TRUE(held.is_open());
#ifdef _WIN32
        EXPECT_FALSE(removeFile(path("version")));
        EXPECT_TRUE(exists("version"));
#else
        EXPECT_TRUE(removeFile(path("version")));
        EXPECT_FALSE(exists("version"));
#endif
    }
    removeFile(path("version"));
    EXPECT_FALSE(exists("version"));
}
