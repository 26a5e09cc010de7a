#include <gtest/gtest.h>

#include "platform/qt_desktop_services.h"

TEST(FileDialogFilter, EveryFileShowsNamesWithoutADotToo) {
    struct Case {
        const char* filters;
        const char* qt;
    };
    const Case cases[] = {
        {"Все файлы|*.*|*.txt|*.txt", "Все файлы (*);;*.txt (*.txt)"},
        {"Данные|*.txt; *.*", "Данные (*.txt *)"},
        {"Прошивка|*.cbin|", "Прошивка (*.cbin)"},
        {"", ""},
    };
    for (const Case& c : cases) EXPECT_EQ(qtFileFilter(c.filters), c.qt) << c.filters;
}
