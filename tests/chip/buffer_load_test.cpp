#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "base/errors.h"
#include "base/file_path.h"
#include "base/text_encoding.h"
#include "chip/buffer_load.h"
#include "chip_harness.h"
#include "support/temp_folder.h"

namespace {

std::string crcText(const std::string& content) {
    const auto crc =
        crc32(0, reinterpret_cast<const Bytef*>(content.data()), static_cast<uInt>(content.size()));
    char text[9];
    std::snprintf(text, sizeof text, "%08lX", static_cast<unsigned long>(crc));
    return text;
}

bool bitIsSet(const ChipBuffer& buffer, std::uint32_t bit) {
    return (buffer[bit / 8] >> (bit % 8)) & 1;
}

struct LoadTest : ::testing::Test {
    ChipHarness h;
    TempFolder folder;

    // Loads content as a file; returns the log lines after "Буфер очищен".
    std::vector<std::string> load(const std::string& content) {
        folder.write("data.txt", content);
        h.log.clear();
        loadDataFileIntoBuffer(folder.file("data.txt"), h.buffer, h.log);
        EXPECT_FALSE(h.log.lines().empty());
        EXPECT_EQ(h.log.lines().front(), "Буфер очищен");
        return {h.log.lines().begin() + 1, h.log.lines().end()};
    }
    std::string loadedLine(std::size_t lines, const std::string& content) {
        return "Загружено " + std::to_string(lines) + " строк из файла " + folder.file("data.txt") +
               ", контрольная сумма = " + crcText(content);
    }
};

}  // namespace

TEST_F(LoadTest, EmptyFileResetsTheBuffer) {
    h.buffer[100] = 0;
    EXPECT_EQ(load(""), std::vector<std::string>{loadedLine(0, "")});
    EXPECT_NE(loadedLine(0, "").find("= 00000000"), std::string::npos);
    for (std::size_t i = 0; i < ChipBuffer::kSize; ++i) ASSERT_EQ(h.buffer[i], 0xFF) << i;
}

TEST_F(LoadTest, ListedBitsAreClearedAndNothingElse) {
    load("0\n7\n1048575");
    EXPECT_EQ(h.buffer[0], 0x7E);
    EXPECT_EQ(h.buffer[131071], 0x7F);
    for (std::size_t i = 1; i < 131071; ++i) ASSERT_EQ(h.buffer[i], 0xFF) << i;
    // A second load starts from a clean buffer.
    load("8");
    EXPECT_EQ(h.buffer[0], 0xFF);
    EXPECT_EQ(h.buffer[1], 0xFE);
}

TEST_F(LoadTest, ErrorLinesFollowTheCountAndNumberEmptyLines) {
    const std::string content = "\n\nxyz\r\n16 \r$10\n1048576\n   \n";
    EXPECT_EQ(load(content),
              (std::vector<std::string>{loadedLine(7, content),
                                        "Ошибка в строке 3 : недопустимое значение xyz",
                                        "Ошибка в строке 4 : недопустимое значение 16 ",
                                        "Ошибка в строке 6 : недопустимое значение 1048576",
                                        "Ошибка в строке 7 : недопустимое значение    "}));
    EXPECT_FALSE(bitIsSet(h.buffer, 16));
}

TEST_F(LoadTest, CrEndsALineAndNulEndsTheTextButNotTheChecksum) {
    struct Case {
        std::string content;
        std::size_t lines;
        std::uint8_t firstByte;
    };
    const Case cases[] = {
        {"1\r2\r3", 3, 0xF1},
        {std::string("1\n\0"
                     "2\nabc\n",
                     9),
         1, 0xFD},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(load(c.content), std::vector<std::string>{loadedLine(c.lines, c.content)});
        EXPECT_EQ(h.buffer[0], c.firstByte);
    }
}

TEST_F(LoadTest, ByteOrderMarkSpoilsTheFirstLine) {
    const std::string content =
        "\xEF\xBB\xBF"
        "16\n17";
    EXPECT_EQ(load(content),
              (std::vector<std::string>{loadedLine(2, content),
                                        "Ошибка в строке 1 : недопустимое значение \xEF\xBB\xBF"
                                        "16"}));
    EXPECT_TRUE(bitIsSet(h.buffer, 16));
    EXPECT_FALSE(bitIsSet(h.buffer, 17));
}

TEST_F(LoadTest, BadLinesAreShownAsUtf8OrWindows1251) {
    const std::string content = "\xCF\xF0\xE8\xE2\xE5\xF2\nПривет\n\x98\x01";
    const auto lines = load(content);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[1], "Ошибка в строке 1 : недопустимое значение Привет");
    EXPECT_EQ(lines[2], "Ошибка в строке 2 : недопустимое значение Привет");
    EXPECT_EQ(lines[3], "Ошибка в строке 3 : недопустимое значение \xEF\xBF\xBD\x01");
    for (const auto& line : lines) EXPECT_TRUE(isValidUtf8(line)) << line;
}

TEST_F(LoadTest, HugeLineAndBinaryDataAreSurvived) {
    std::string binary;
    for (int i = 0; i < 4096; ++i) binary += static_cast<char>(1 + (i * 37) % 255);
    const auto binaryLines = load(binary);
    for (std::size_t i = 1; i < binaryLines.size(); ++i) EXPECT_TRUE(isValidUtf8(binaryLines[i]));

    const std::string huge(1000000, '7');
    const auto lines = load(huge + "\n5");
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1].size(),
              std::string("Ошибка в строке 1 : недопустимое значение ").size() + huge.size());
    EXPECT_FALSE(bitIsSet(h.buffer, 5));
}

TEST_F(LoadTest, AFolderOfAnyNameIsOpenedAndNamedAsTheDialogGaveIt) {
    // As the dialog gives it: the system's separators, the folder's name in UTF-8.
    const std::filesystem::path ivan = folder.path() / pathFromUtf8("Иван");
    std::filesystem::create_directory(ivan);
    std::ofstream(ivan / "data.txt", std::ios::binary) << "1\n2\n";
    const std::string path = utf8Of(ivan / "data.txt");
    loadDataFileIntoBuffer(path, h.buffer, h.log);
    EXPECT_EQ(h.log.lines(),
              (std::vector<std::string>{"Буфер очищен",
                                        "Загружено 2 строк из файла " + path +
                                            ", контрольная сумма = " + crcText("1\n2\n")}));
    EXPECT_FALSE(bitIsSet(h.buffer, 1));
    EXPECT_FALSE(bitIsSet(h.buffer, 2));
}

TEST_F(LoadTest, UnreadableFileEndsAfterClearingTheBuffer) {
    // The error's text is what the operator's message box shows.
    h.buffer[3] = 0;
    const std::string missing = folder.file("нет такого.txt");
    try {
        loadDataFileIntoBuffer(missing, h.buffer, h.log);
        ADD_FAILURE() << "no error";
    } catch (const AppError& error) {
        EXPECT_NE(std::string(error.what()).find(missing), std::string::npos);
    }
    EXPECT_EQ(h.log.lines(), std::vector<std::string>{"Буфер очищен"});
    EXPECT_EQ(h.buffer[3], 0xFF);
    // The program goes on: the next load works.
    load("9");
    EXPECT_EQ(h.buffer[1], 0xFD);
}

TEST(Windows1251, UpperHalfMapsToItsLetters) {
    EXPECT_EQ(cp1251ToUtf8("\xC0\xFF\xA8\xB8\xB9\x88 A"), "АяЁё№€ A");
    EXPECT_EQ(cp1251ToUtf8("\x98"), "\xEF\xBF\xBD");
    EXPECT_TRUE(isValidUtf8("\xF0\x9F\x98\x80 Ж"));
    for (const char* bad :
         {"\xC0\xAF", "\xED\xA0\x80", "\xF4\x90\x80\x80", "\xD0", "\xE0\x80\x80", "\x80", "\xFF"}) {
        EXPECT_FALSE(isValidUtf8(bad)) << bad;
    }
}
