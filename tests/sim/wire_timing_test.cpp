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

TEST(PlannedRead, EndsWithTheLastWantedByte) {
    const std::vector<WireClock::time_point> arrivals{at(1), at(2), at(3), at(4)};
    const PlannedRead read = planRead(arrivals, 3, all(10), kStart);
    EXPECT_EQ(read.count, 3u);
    EXPECT_EQ(read.end, at(3));
}

TEST(PlannedRead, StopsWhenTheGapBetweenTwoBytesExceedsTheInterval) {
    const std::vector<WireClock::time_point> arrivals{at(5), at(15), at(26)};
    const PlannedRead read = planRead(arrivals, 3, all(10), kStart);
    // A gap of exactly the interval is still within it.
    EXPECT_EQ(read.count, 2u);
    EXPECT_EQ(read.end, at(25));
}

TEST(PlannedRead, TheIntervalOnlyRunsOnceTheFirstByteCame) {
    const std::vector<WireClock::time_point> arrivals{at(25), at(26)};
    const PlannedRead read = planRead(arrivals, 2, all(10), kStart);
    EXPECT_EQ(read.count, 2u);
    EXPECT_EQ(read.end, at(26));
}

TEST(PlannedRead, StopsAtTheTotalTimeOut) {
    // Two bytes under T = 10 must be complete within 3 * T.
    const std::vector<WireClock::time_point> arrivals{at(25), at(31)};
    const PlannedRead read = planRead(arrivals, 2, all(10), kStart);
    EXPECT_EQ(read.count, 1u);
    EXPECT_EQ(read.end, at(30));
}

TEST(PlannedRead, WithoutBytesWaitsTheWholeTotal) {
    const PlannedRead read = planRead({}, 100, all(100), kStart);
    EXPECT_EQ(read.count, 0u);
    EXPECT_EQ(read.end, at(10100));
}

TEST(PlannedRead, AShortReplyEndsOneIntervalAfterItsLastByte) {
    const std::vector<WireClock::time_point> arrivals{at(1), at(2)};
    const PlannedRead read = planRead(arrivals, 100, all(100), kStart);
    EXPECT_EQ(read.count, 2u);
    EXPECT_EQ(read.end, at(102));
}

TEST(PlannedRead, BytesAlreadyThereCountFromTheStart) {
    const std::vector<WireClock::time_point> arrivals{at(-50), at(-40), at(5)};
    const PlannedRead read = planRead(arrivals, 3, {10, 0, 0}, kStart);
    EXPECT_EQ(read.count, 3u);
    EXPECT_EQ(read.end, at(5));
}

TEST(PlannedRead, WithNoTimeOutsEndsWhenTheLineGoesQuiet) {
    const std::vector<WireClock::time_point> arrivals{at(1), at(900)};
    const PlannedRead read = planRead(arrivals, 5, {0, 0, 0}, kStart);
    EXPECT_EQ(read.count, 2u);
    EXPECT_EQ(read.end, at(900));
    EXPECT_EQ(planRead(arrivals, 0, all(10), kStart).count, 0u);
}

TEST(PlannedWait, EndsAtTheFirstArrivalOrAfterTheLimit) {
    EXPECT_EQ(planWait(at(3), 10, kStart), at(3));
    EXPECT_EQ(planWait(at(-3), 10, kStart), kStart);
    EXPECT_EQ(planWait(at(11), 10, kStart), at(10));
    EXPECT_EQ(planWait(std::nullopt, 10, kStart), at(10));
}
