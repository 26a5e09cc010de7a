#include "sim/wire_timing.h"

#include <algorithm>

PlannedRead planRead(std::span<const WireClock::time_point> arrivals, std::size_t n,
                     const ReadTimeouts& timeouts, WireClock::time_point start) {
    if (n == 0) return {0, start};
    using std::chrono::milliseconds;
    const std::uint64_t totalMs =
        std::uint64_t{timeouts.multiplier} * n + std::uint64_t{timeouts.constant};
    const bool totalWatched = timeouts.multiplier != 0 || timeouts.constant != 0;
    const WireClock::time_point totalEnd = start + milliseconds(totalMs);
    const milliseconds interval(timeouts.interval);
    const bool intervalWatched = timeouts.interval != 0;

    std::size_t count = 0;
    WireClock::time_point last = start;
    for (const WireClock::time_point arrival : arrivals) {
        // Bytes that came before the read are all there the moment it starts.
        const WireClock::time_point at = std::max(arrival, start);
        if (totalWatched && at > totalEnd) return {count, totalEnd};
        if (count > 0 && intervalWatched && at - last > interval) return {count, last + interval};
        ++count;
        last = at;
        if (count == n) return {count, at};
    }
    // Fewer than n bytes will ever come: the first time-out to expire ends the read.
    WireClock::time_point end = WireClock::time_point::max();
    if (totalWatched) end = totalEnd;
    if (count > 0 && intervalWatched) end = std::min(end, last + interval);
    if (end == WireClock::time_point::max()) end = last;
    return {count, end};
}

WireClock::time_point planWait(std::optional<WireClock::time_point> firstArrival, std::uint32_t ms,
                               WireClock::time_point start) {
    const WireClock::time_point latest = start + std::chrono::milliseconds(ms);
    if (!firstArrival || *firstArrival > latest) return latest;
    return std::max(*firstArrival, start);
}
