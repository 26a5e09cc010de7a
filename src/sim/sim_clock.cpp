#include "sim/sim_clock.h"

#include <thread>

namespace {

class WallClock : public SimClock {
  public:
    WireClock::time_point now() const override { return WireClock::now(); }
    // The model's times are lower bounds. A sleep may end a little early (on
    // Windows it is one timed wait in whole milliseconds), so it is repeated.
    void sleepUntil(WireClock::time_point when) override {
        while (WireClock::now() < when) std::this_thread::sleep_until(when);
    }
};

}  // namespace

SimClock& wallClock() {
    static WallClock clock;
    return clock;
}
