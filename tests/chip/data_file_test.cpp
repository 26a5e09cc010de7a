#include "chip/data_file.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "base/errors.h"
#include "base/file_crc32.h"
#include "chip/bit_number.h"
#include "support/temp_folder.h"

TEST(BitNumberSyntax, EveryNotationOfSixteen) {
    for (const char* line :
         {"16", "$10", "0x10", "0X10", "x10", "X10", "+16", "  16", "0016", "$0010", "+0016"}) {
        EXPECT_EQ(parseBitNumber(line), 16u) << line;
    }
    EXPECT_EQ(parseBitNumber("0xf0"), 0xF0u);
    EXPECT_EQ(parseBitNumber("$aB"), 0xABu);
    EXPECT_EQ(parseBitNumber("0"), 0u);
    EXPECT_EQ(parseBitNumber("-0"), 0u);
}

TEST(BitNumberSyntax, RejectsEverythingElse) {
    for (const char* line : {"16 ",
                             "-1",
                             "-5",
                             "abc",
                             "0x",
                             "$",
                             "x",
                             "   ",
                             "",
                             "\t16",
                             "+",
                             "-",
                             "+$10",
                             "-0x10",
                             "$ 10",
                             "+ 16",
                             "1 6",
                             "16a",
                             "0x1G",
                             "00x10",
                             "1e3",
                             "\xEF\xBB\xBF"
                             "16"}) {
        EXPECT_FALSE(parseBitNumber(line).has_value()) << '"' << line << '"';
    }
}

TEST(BitNumberSyntax, RangeEndsAt1048575WithoutOverflow) {
    EXPECT_EQ(parseBitNumber("1048575"), 1048575u);
    EXPECT_EQ(parseBitNumber("$FFFFF"), 1048575u);
    EXPECT_FALSE(parseBitNumber("1048576"));
    EXPECT_FALSE(parseBitNumber("0x100000"));
    // 2^32 + 5 and 2^64 + 5 would wrap to 5 in a fixed-width accumulator.
    EXPECT_FALSE(parseBitNumber("4294967301"));
    EXPECT_FALSE(parseBitNumber("18446744073709551621"));
    EXPECT_FALSE(parseBitNumber("0x100000005"));
    EXPECT_FALSE(parseBitNumber(std::string(1000000, '9')));
    EXPECT_EQ(parseBitNumber(std::string(1000000, '0') + "7"), 7u);
}

TEST(DataFile, NulEndsTheTextButNotTheChecksum) {
    TempFolder folder;
    const std::string content(
        "1\n2\n\0"
        "3\n4\n",
        9);
    // Not "nul.txt": Windows takes NUL, whatever its extension, for its null device.
    folder.write("with-nul.txt", content);
    const DataFileText file = readDataFile(folder.file("with-nul.txt"));
    EXPECT_EQ(file.text, "1\n2\n");
    EXPECT_EQ(file.lineCount, 2u);
    folder.write("plain.txt", std::string("1\n2\n"));
    EXPECT_NE(fileCrc32(folder.file("with-nul.txt")), fileCrc32(folder.file("plain.txt")));
}

TEST(DataFile, UnreadableFilesRaiseAnErrorNamingThem) {
    TempFolder folder;
    std::vector<std::string> paths{folder.file("missing.txt"), folder.path().string()};
#ifndef _WIN32
    // A device never ends; it must be refused, not read.
    paths.push_back("/dev/zero");
#endif
    for (const std::string& path : paths) {
        try {
            readDataFile(path);
            ADD_FAILURE() << "no error for " << path;
        } catch (const AppError& error) {
            EXPECT_NE(std::string(error.what()).find(path), std::string::npos) << error.what();
            EXPECT_NE(std::string(error.what()).find("открыть"), std::string::npos);
        }
    }
}
