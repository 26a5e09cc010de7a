#include "base/csv.h"

#include <gtest/gtest.h>

TEST(Csv, QuotesOnlyFieldsThatNeedIt) {
    const char* cases[][2] = {
        {"", ""},
        {"plain text", "plain text"},
        {"a,b", "\"a,b\""},
        {"say \"hi\"", "\"say \"\"hi\"\"\""},
        {"line\rend", "\"line\rend\""},
        {"line\nend", "\"line\nend\""},
        {"/данные/9912ЛК047.txt", "/данные/9912ЛК047.txt"},
    };
    for (const auto& [text, field] : cases) EXPECT_EQ(csvField(text), field) << text;
}
