#pragma once

#include <algorithm>

#include "sim/sim_clock.h"

// Line time that passes only as far as the simulated line sleeps or a test
// moves it on: wire time is modelled exactly and costs nothing.
class SteppedClock : public SimClock {
  public:
    WireClock::time_point now() const override { return now_; }
    void sleepUntil(WireClock::time_point when) override { now_ = std::max(now_, when); }
    void advance(WireClock::duration by) { now_ += by; }

  private:
    WireClock::time_point now_{std::chrono::hours(1)};
};

// A base that holds the clock, for rigs that must have it before their port.
struct SteppedTime {
    SteppedClock clock;
};
