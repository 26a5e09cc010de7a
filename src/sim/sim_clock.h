#pragma once

#include "sim/wire_timing.h"

// The time the simulated line and device live in. The program runs them on
// the wall clock; a test may give them a clock that moves only as far as they
// sleep or the test moves it, so that seconds of line time cost none.
class SimClock {
  public:
    virtual ~SimClock() = default;
    virtual WireClock::time_point now() const = 0;
    // Returns once `when` has come; at once when it has already.
    virtual void sleepUntil(WireClock::time_point when) = 0;
};

// The steady wall clock, shared by everything that does not bring its own.
SimClock& wallClock();
