#include "base/line_reader.h"

#include <gtest/gtest.h>

#include <string>
#include <vector>

namespace {

std::vector<std::string> linesOf(std::string_view text) {
    std::vector<std::string> lines;
    LineReader reader(text);
    for (std::string_view line; reader.next(line);) lines.emplace_back(line);
    return lines;
}

}  // namespace

TEST(LineReader, SplitsAtEveryKindOfLineEnd) {
    EXPECT_EQ(linesOf(""), std::vector<std::string>{});
    EXPECT_EQ(linesOf("1"), std::vector<std::string>{"1"});
    EXPECT_EQ(linesOf("1\n"), std::vector<std::string>{"1"});
    EXPECT_EQ(linesOf("1\r\n2\r3\n4"), (std::vector<std::string>{"1", "2", "3", "4"}));
    EXPECT_EQ(linesOf("\n\nxyz"), (std::vector<std::string>{"", "", "xyz"}));
    // CR CR LF is one CR-ended line and one CR LF-ended empty line.
    EXPECT_EQ(linesOf("1\r\r\n2"), (std::vector<std::string>{"1", "", "2"}));
    EXPECT_EQ(linesOf("1\n\r2"), (std::vector<std::string>{"1", "", "2"}));
    EXPECT_EQ(countLines("a\rb\rc\r"), 3u);
}
