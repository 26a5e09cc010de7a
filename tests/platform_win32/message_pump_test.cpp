#include <gtest/gtest.h>
#include <windows.h>

#include <stdexcept>
#include <string>
#include <vector>

#include "platform_win32/win32_message_pump.h"

namespace {

class Win32MessagePumpTest : public ::testing::Test {
  protected:
    void SetUp() override { pump.processPending(); }  // nothing left over from another test

    Win32MessagePump pump;
};

TEST_F(Win32MessagePumpTest, PostedCallsRunInOrderFromTheLoopAndWhatTheyPostInTheNextRound) {
    std::vector<int> order;
    std::function<void()> again = [&] {
        order.push_back(0);
        pump.post(again);  // run at once, it would hold the loop for ever
    };
    for (int i = 1; i <= 3; ++i) pump.post([&order, i] { order.push_back(i); });
    pump.post(again);
    const std::uint32_t before = pump.tick();
    pump.waitNext(10000);  // ends on the queued calls, without running them
    EXPECT_LT(pump.tick() - before, 10000u);
    pump.sleep(40);
    EXPECT_GE(pump.tick() - before, 20u);  // the system's tick may lag a clock step
    EXPECT_TRUE(order.empty());
    pump.processPending();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 0}));
    pump.processPending();
    EXPECT_EQ(order, (std::vector<int>{1, 2, 3, 0, 0}));
}

TEST_F(Win32MessagePumpTest, TimerCases) {
    using Act = std::function<void(Win32MessagePump&, std::unique_ptr<Timer>&, int& ticks)>;
    struct Case {
        const char* name;
        std::uint32_t firstInterval;
        Act act;  // on the enabled timer; the ticks of a 200-ms wait after it are counted
        int minTicks, maxTicks;
    };
    const Case cases[] = {
        {"ticks at its interval while the loop waits", 10, [](auto&, auto&, int&) {}, 3, 1000},
        {"stops when disabled", 10, [](auto&, auto& timer, int&) { timer->setEnabled(false); }, 0,
         0},
        {"a new interval restarts it", 600000,
         [](auto&, auto& timer, int&) { timer->setInterval(10); }, 3, 1000},
        {"a due tick of a destroyed timer never runs", 10,
         [](auto& pump, auto& timer, int&) {
             pump.sleep(40);
             timer.reset();
         },
         0, 0},
        {"one that outlives its pump never runs, nor a call posted to it", 10,
         [](auto&, auto& timer, int& ticks) {
             auto gone = std::make_unique<Win32MessagePump>();
             timer = gone->createTimer([&ticks] { ++ticks; });
             timer->setInterval(10);
             timer->setEnabled(true);
             gone->post([&ticks] { ++ticks; });
             gone->sleep(40);
             gone.reset();
             timer->setEnabled(false);
             timer->setEnabled(true);
         },
         0, 0},
        // Last: the report counts into this case's ticks.
        {"an error escaping a tick is reported and it ticks on", 10,
         [](auto& pump, auto& timer, int& ticks) {
             pump.reportErrorsTo([&ticks](const std::string& text) { ticks += text == "tick"; });
             timer = pump.createTimer([] { throw std::runtime_error("tick"); });
             timer->setInterval(10);
             timer->setEnabled(true);
         },
         3, 1000},
    };
    for (const Case& c : cases) {
        int ticks = 0;
        std::unique_ptr<Timer> timer = pump.createTimer([&] { ++ticks; });
        timer->setInterval(c.firstInterval);
        timer->setEnabled(true);
        c.act(pump, timer, ticks);
        ticks = 0;
        waitPumping(pump, 200);
        EXPECT_GE(ticks, c.minTicks) << c.name;
        EXPECT_LE(ticks, c.maxTicks) << c.name;
    }
    pump.reportErrorsTo(nullptr);
}

// Messages of another window, standing in for the program's main window.
std::vector<WPARAM> received;
LRESULT CALLBACK recordingProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_APP) received.push_back(wParam);
    return DefWindowProcW(window, message, wParam, lParam);
}

TEST(Win32MessagePumpLoops, FilterFirstErrorsReportedAndTheQuitEndsRunWhoeverMetIt) {
    const WNDCLASSW windowClass{0, recordingProc, 0, 0, 0, 0, 0, 0, 0, L"TelvarnPumpTest"};
    RegisterClassW(&windowClass);
    const HWND window = CreateWindowW(L"TelvarnPumpTest", 0, 0, 0, 0, 0, 0, HWND_MESSAGE, 0, 0, 0);
    const std::function<void(Win32MessagePump&)> loops[] = {
        [](Win32MessagePump& pump) { pump.processPending(); },
        [](Win32MessagePump& pump) {
            pump.post([&pump] {
                PostQuitMessage(5);
                waitPumping(pump, 20);  // meets the quit, which still ends run()
                EXPECT_TRUE(pump.terminating());
            });
            EXPECT_EQ(pump.run(), 5);
        },
    };
    for (const auto& loop : loops) {
        Win32MessagePump pump;
        std::vector<std::string> reports;
        pump.reportErrorsTo([&](const std::string& text) { reports.push_back(text); });
        int asked = 0;
        pump.setMessageFilter([&](MSG& message) {
            if (++asked == 3) throw std::runtime_error("filter");
            return message.wParam == 1;
        });
        received.clear();
        for (WPARAM n = 1; n <= 3; ++n) PostMessageW(window, WM_APP, n, 0);
        pump.post([] { throw std::runtime_error("posted"); });
        loop(pump);
        EXPECT_EQ(asked, 3);  // never for the pump's own messages
        EXPECT_EQ(received, (std::vector<WPARAM>{2, 3}));
        EXPECT_EQ(reports, (std::vector<std::string>{"filter", "posted"}));
    }
    DestroyWindow(window);
}

}  // namespace
