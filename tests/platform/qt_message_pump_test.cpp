#include "platform/qt_message_pump.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <stdexcept>
#include <string>
#include <vector>

#include "qt_test_app.h"

namespace {

using Clock = std::chrono::steady_clock;

long long msSince(Clock::time_point start) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start).count();
}

class QtMessagePumpTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ensureQtApp(); }
    void SetUp() override { pump.processPending(); }  // nothing left over from another test

    QtMessagePump pump;
};

TEST_F(QtMessagePumpTest, WaitPumpingZeroReturnsAtOnce) {
    const auto start = Clock::now();
    EXPECT_EQ(waitPumping(pump, 0), 0u);
    EXPECT_LT(msSince(start), 100);
}

TEST_F(QtMessagePumpTest, WaitPumpingRunsPostedCallsAndStillWaitsItsFullTime) {
    int calls = 0;
    pump.post([&] {
        ++calls;
        pump.post([&] { ++calls; });  // posted from inside the wait: runs within it too
    });
    const auto start = Clock::now();
    const std::uint32_t elapsed = waitPumping(pump, 60);
    EXPECT_EQ(calls, 2);
    EXPECT_GE(elapsed, 60u);
    EXPECT_GE(msSince(start), 59);
}

TEST_F(QtMessagePumpTest, TimerTicksInsideWaitPumpingOnlyWhileEnabled) {
    int ticks = 0;
    auto timer = pump.createTimer([&] { ++ticks; });
    timer->setInterval(10);
    timer->setEnabled(true);
    EXPECT_TRUE(timer->enabled());
    waitPumping(pump, 200);
    EXPECT_GE(ticks, 3);

    timer->setEnabled(false);
    const int stoppedAt = ticks;
    waitPumping(pump, 50);
    EXPECT_EQ(ticks, stoppedAt);
}

TEST_F(QtMessagePumpTest, SleepAdvancesTheTickWithoutRunningPostedCalls) {
    bool ran = false;
    pump.post([&] { ran = true; });
    const std::uint32_t before = pump.tick();
    pump.sleep(30);
    EXPECT_GE(pump.tick() - before, 30u);
    EXPECT_FALSE(ran);
    pump.processPending();
    EXPECT_TRUE(ran);
}

TEST_F(QtMessagePumpTest, AnErrorEscapingAPostedCallOrATickIsReportedOnceAndTheLoopGoesOn) {
    std::vector<std::string> reports;
    pump.reportErrorsTo([&](const std::string& text) { reports.push_back(text); });
    std::unique_ptr<Timer> timer;
    timer = pump.createTimer([&] {
        timer->setEnabled(false);
        throw std::runtime_error("tick");
    });
    timer->setInterval(5);
    timer->setEnabled(true);
    pump.post([] { throw std::runtime_error("posted"); });
    bool later = false;
    pump.post([&] { later = true; });
    waitPumping(pump, 100);
    std::sort(reports.begin(), reports.end());
    EXPECT_EQ(reports, (std::vector<std::string>{"posted", "tick"}));
    EXPECT_TRUE(later);
}

TEST_F(QtMessagePumpTest, CallsPostedToAPumpThatHasGoneNeverRun) {
    bool ran = false;
    {
        QtMessagePump gone;
        gone.post([&] { ran = true; });
    }
    pump.processPending();
    EXPECT_FALSE(ran);
}

}  // namespace
