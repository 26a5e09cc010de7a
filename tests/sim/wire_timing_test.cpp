#include "sim/wire_timing.h"

#include <gtest/gtest.h>

#include <vector>

namespace {

using std::chrono::milliseconds;

const WireClock::time_point kStart = WireClock::time_point{} + std::chrono::hours(1);

WireClock::time_point at(int ms) {
    return kStart + milliseconds(ms);
}

ReadTimeouts all(std::uint32_t t) {
    return {t, t, t};
}

}  // namespace

TEST(WireTime, IsTenBitsPerByteAt115200Baud) {
    EXPECT_EQ(wireTime(1), std::chrono::nanoseconds(86805));
    EXPECT_EQ(wireTime(115200 / 10), std::chrono::seconds(1));
    const double ms = std::chrono::duration<double, std::milli>(wireTime(1037)).count();
    EXPECT_NEAR(ms, 90.0, 0.1);
}

TEST(PlannedRead, EndsAtTheFirstLimitReached) {
    struct Case {
        const char* rule;
        std::vector<int> arrivals;  // ms after the start
        std::size_t n;
        ReadTimeouts timeouts;
        std::size_t count;
        int end;
    };
    const Case cases[] = {
        {"ends with the last wanted byte", {1, 2, 3, 4}, 3, all(10), 3, 3},
        // A gap of exactly the interval is still within it.
        {"a gap longer than the interval ends it", {5, 15, 26}, 3, all(10), 2, 25},
        {"the interval runs only once the first byte came", {25, 26}, 2, all(10), 2, 26},
        // Two bytes under T = 10 must be complete within 3 * T.
        {"the total time-out ends it", {25, 31}, 2, all(10), 1, 30},
        {"without bytes it waits the whole total", {}, 100, all(100), 0, 10100},
        {"a short reply ends one interval after its last byte", {1, 2}, 100, all(100), 2, 102},
        {"bytes already there count from the start", {-50, -40, 5}, 3, {10, 0, 0}, 3, 5},
        {"with no time-outs it ends when the line goes quiet", {1, 900}, 5, {0, 0, 0}, 2, 900},
        {"nothing wanted, nothing read", {1, 900}, 0, all(10), 0, 0},
    };
    for (const Case& c : cases) {
        std::vector<WireClock::time_point> arrivals;
        for (int ms : c.arrivals) arrivals.push_back(at(ms));
        const PlannedRead read = planRead(arrivals, c.n, c.timeouts, kStart);
        EXPECT_EQ(read.count, c.count) << c.rule;
        if (c.n > 0) {
            EXPECT_EQ(read.end, at(c.end)) << c.rule;
        }
    }
}

TEST(PlannedWait, EndsAtTheFirstArrivalOrAfterTheLimit) {
    EXPECT_EQ(planWait(at(3), 10, kStart), at(3));
    EXPECT_EQ(planWait(at(-3), 10, kStart), kStart);
    EXPECT_EQ(planWait(at(11), 10, kStart), at(10));
    EXPECT_EQ(planWait(std::nullopt, 10, kStart), at(10));
}
