#pragma once

#include <chrono>
#include <cstddef>
#include <optional>
#include <span>

#include "link/serial_port.h"

// Timing of the serial line at 115200 baud, 10 bits per byte (start, 8 data, stop).
using WireClock = std::chrono::steady_clock;

inline constexpr long long kBaudRate = 115200;
inline constexpr long long kBitsPerByte = 10;

// The time n bytes take on the wire (86.8 us each), exact to the nanosecond.
constexpr std::chrono::nanoseconds wireTime(std::size_t bytes) {
    return std::chrono::nanoseconds(static_cast<long long>(bytes) * kBitsPerByte * 1'000'000'000LL /
                                    kBaudRate);
}

// What a read of n bytes started at `start` collects from bytes arriving at
// the given (ascending) times, and when it returns: as soon as n bytes came,
// when more than `interval` passes between two bytes once the first came, or
// when multiplier * n + constant have passed in all. A time-out of 0 is not
// watched; with none watched the read returns once the line goes quiet.
struct PlannedRead {
    std::size_t count = 0;
    WireClock::time_point end;
};
PlannedRead planRead(std::span<const WireClock::time_point> arrivals, std::size_t n,
                     const ReadTimeouts& timeouts, WireClock::time_point start);

// When a bounded wait of ms started at `start` ends: at the first arrival, at
// the latest after ms.
WireClock::time_point planWait(std::optional<WireClock::time_point> firstArrival, std::uint32_t ms,
                               WireClock::time_point start);
