#pragma once

#include <atomic>

#include "sim/sim_clock.h"

// Line time that passes only as far as the simulated line sleeps or a test
// moves it on: wire time is modelled exactly and costs nothing.
// Threads may share it (a gang's programmers): a sleep moves it for all.
class SteppedClock : public SimClock {
  public:
    WireClock::time_point now() const override { return WireClock::time_point(ticks_.load()); }
    void sleepUntil(WireClock::time_point when) override {
        auto ticks = ticks_.load();
        while (ticks < when.time_since_epoch() &&
               !ticks_.compare_exchange_weak(ticks, when.time_since_epoch())) {
        }
    }
    void advance(WireClock::duration by) { ticks_.store(ticks_.load() + by); }

  private:
    std::atomic<WireClock::duration> ticks_{std::chrono::hours(1)};
};

// A base that holds the clock, for rigs that must have it before their port.
struct SteppedTime {
    SteppedClock clock;
};
