#include "window/log_copy.h"

#include <gtest/gtest.h>

namespace {

struct Copy {
    const char* name;
    std::vector<std::size_t> rows;
    const char* lineBreak;
    std::string text;
};

void PrintTo(const Copy& copy, std::ostream* out) {
    *out << copy.name;
}

const Copy kCopies[] = {
    {"NothingSelected", {}, "\r\n", ""},
    {"OneLineHasNoBreak", {1}, "\r\n", "Буфер очищен"},
    {"WindowsBreaks", {0, 1, 2}, "\r\n", "Поиск\r\nБуфер очищен\r\nГотово"},
    {"LinuxBreaks", {0, 2}, "\n", "Поиск\nГотово"},
    {"InTheLogsOrderWhateverTheSelectionsOrder", {2, 0}, "\n", "Поиск\nГотово"},
    {"ARowTwiceOnce", {2, 2, 0}, "\n", "Поиск\nГотово"},
    {"RowsTheLogNoLongerHasLeftOut", {1, 3, 7}, "\n", "Буфер очищен"},
};

struct SelectedLines : ::testing::TestWithParam<Copy> {};

TEST_P(SelectedLines, MakeOneText) {
    LineStore lines;
    for (const char* line : {"Поиск", "Буфер очищен", "Готово"}) lines.push_back(line);
    EXPECT_EQ(selectedLinesText(lines, GetParam().rows, GetParam().lineBreak), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(LogCopy, SelectedLines, ::testing::ValuesIn(kCopies),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(LogCopy, EmptyLinesKeepTheirPlace) {
    LineStore lines;
    for (const char* line : {"", "Поиск", ""}) lines.push_back(line);
    EXPECT_EQ(selectedLinesText(lines, {0, 1, 2}, "\r\n"), "\r\nПоиск\r\n");
}

}  // namespace
