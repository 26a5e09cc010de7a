#include <chrono>
#include <cstdio>

#include "view_rig.h"

namespace {

using Win32Log = ViewRig;

std::string errorLine(std::size_t n) {
    return "Ошибка в строке " + std::to_string(n);
}

TEST_F(Win32Log, AMillionLinesCostOneUpdateAndAreAllThere) {
    constexpr int kLines = 1048576;
    for (std::size_t n = 0; n < kLines; ++n) model->log.append(errorLine(n));
    EXPECT_EQ(rowCount(), 0);  // nothing handed over yet
    int updates = 0;
    MSG message;
    const UINT update = Win32LogView::kUpdateMessage;
    while (PeekMessageW(&message, window(), update, update, PM_REMOVE)) ++updates;
    EXPECT_EQ(updates, 1);
    view->repaintNow();  // a window painted now shows every line
    ASSERT_EQ(rowCount(), kLines);
    for (const int row : {0, 524288, kLines - 1}) EXPECT_EQ(rowText(row), wide(errorLine(row)));
    const auto top = static_cast<int>(SendMessageW(list(), LVM_GETTOPINDEX, 0, 0));
    const auto perPage = static_cast<int>(SendMessageW(list(), LVM_GETCOUNTPERPAGE, 0, 0));
    EXPECT_GE(top + perPage, kLines);  // scrolled to the last line
}

TEST_F(Win32Log, LinesReplacedRemovedAndClearedByADoubleClick) {
    for (const char* line : {"Поиск", "Программирование..."}) model->log.append(line);
    runLoop();
    model->log.deleteLast();
    model->log.append("Программирование завершено");
    runLoop();
    EXPECT_EQ(rows(), (std::vector<std::wstring>{L"Поиск", L"Программирование завершено"}));
    model->log.deleteLast();
    runLoop();
    EXPECT_EQ(rows(), std::vector<std::wstring>{L"Поиск"});
    SendMessageW(list(), WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_TRUE(model->log.lines().empty());
    EXPECT_EQ(rowCount(), 0);
}

TEST_F(Win32Log, BackgroundFollowsTheModelYellowInServiceMode) {
    EXPECT_EQ(ListView_GetBkColor(list()), RGB(202, 202, 255));
    EXPECT_EQ(ListView_GetTextColor(list()), RGB(0, 0, 128));
    model->log.setBackground(kYellow);
    EXPECT_EQ(ListView_GetBkColor(list()), RGB(255, 255, 0));
    EXPECT_EQ(ListView_GetTextBkColor(list()), RGB(255, 255, 0));
}

// Figures, not assertions: run with --gtest_also_run_disabled_tests.
TEST_F(Win32Log, DISABLED_MillionLineFigures) {
    view->show(SW_SHOWNOACTIVATE);
    runLoop();
    using Clock = std::chrono::steady_clock;
    Clock::time_point times[4] = {Clock::now()};
    for (std::size_t n = 0; n < 1048576; ++n) model->log.append(errorLine(n));
    times[1] = Clock::now();
    runLoop();  // the one update: the count, the scroll to the last line, the paint
    UpdateWindow(list());
    times[2] = Clock::now();
    SendMessageW(list(), LVM_ENSUREVISIBLE, 0, FALSE);
    UpdateWindow(list());
    times[3] = Clock::now();
    const auto ms = [&](int i) {
        return std::chrono::duration<double, std::milli>(times[i] - times[i - 1]).count();
    };
    std::printf("1048576 lines: into the log %.0f ms, shown %.1f ms, scrolled to the top %.1f ms\n",
                ms(1), ms(2), ms(3));
}

}  // namespace
