// A full RAM check from the programmer menu against the simulated programmer
// with wire time modelled at 115200 baud. Prints the wall time, the time the
// bytes need on the wire and their ratio: how much the program adds on top of
// the line itself.
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/session_rig.h"
#include "support/sim_rig.h"
#include "support/wire_figures.h"

namespace {

using Clock = std::chrono::steady_clock;

// A message loop with no messages: waiting for the next one simply sleeps,
// as an idle window's loop does.
class SleepingPump : public MessagePump {
  public:
    void processPending() override {}
    void waitNext(std::uint32_t maxMs) override { sleep(maxMs); }
    std::uint32_t tick() override {
        const auto since =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
        return static_cast<std::uint32_t>(since.count());
    }
    void sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }

  protected:
    void schedule(std::function<void()> call) override { call(); }
    std::unique_ptr<Timer> makeTimer(std::function<void()> onTick) override {
        auto timer = std::make_unique<ManualPump::ManualTimer>();
        timer->onTick = std::move(onTick);
        return timer;
    }

  private:
    Clock::time_point start_ = Clock::now();
};

}  // namespace

int main() {
    SessionRig<SimRigWith<SleepingPump>> rig(SimBehaviour::Normal, true);
    if (!rig.link.runapp()) {
        std::printf("the simulated programmer did not start its application\n");
        return 1;
    }
    const WireFigures check =
        timeOnWire(rig.port, [&] { rig.session.checkRam(); });

    for (const std::string_view line : rig.log.lines()) {
        std::printf("%.*s\n", static_cast<int>(line.size()), line.data());
    }
    std::printf("bytes on the wire: %zu\n", check.bytes);
    printWireFigures("RAM check", check, "(target <= 1.05)");
    return 0;
}
