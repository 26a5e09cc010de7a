// A full RAM check from the programmer menu against the simulated programmer
// with wire time modelled at 115200 baud. Prints the wall time, the time the
// bytes need on the wire and their ratio: how much the program adds on top of
// the line itself.
#include <chrono>
#include <cstdio>
#include <thread>

#include "control/programmer_menu.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"

namespace {

using Clock = std::chrono::steady_clock;

// A message loop with no messages: waiting for the next one simply sleeps,
// as an idle window's loop does.
class SleepingPump : public MessagePump {
  public:
    void processPending() override {}
    void waitNext(std::uint32_t maxMs) override { sleep(maxMs); }
    void post(std::function<void()> call) override { call(); }
    std::uint32_t tick() override {
        const auto since =
            std::chrono::duration_cast<std::chrono::milliseconds>(Clock::now() - start_);
        return static_cast<std::uint32_t>(since.count());
    }
    void sleep(std::uint32_t ms) override {
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override {
        auto timer = std::make_unique<ManualPump::ManualTimer>();
        timer->onTick = std::move(onTick);
        return timer;
    }

  private:
    Clock::time_point start_ = Clock::now();
};

}  // namespace

int main() {
    SimulatedProgrammer device(SimBehaviour::Normal);
    SimulatedPort port(device, true);
    FakePortEnumerator ports;
    SleepingPump pump;
    FakeBeeper beeper;
    ProgrammerLink link(port, ports, pump, beeper);
    MainMenu menu;
    Log log;
    StatusLine status;
    ProgrammerMenu handler(ProgrammerMenuContext{menu, link, log, status, {}});

    link.setPortName("SIM");
    link.open();
    if (!link.runapp()) {
        std::printf("the simulated programmer did not start its application\n");
        return 1;
    }
    const std::size_t writtenBefore = port.bytesWritten();
    const std::size_t readBefore = port.bytesRead();

    const auto start = Clock::now();
    handler.MainMenuProgClick(menu.MainMenuProgCheckRam);
    const double wall = std::chrono::duration<double>(Clock::now() - start).count();

    const std::size_t bytes =
        (port.bytesWritten() - writtenBefore) + (port.bytesRead() - readBefore);
    const double wire = static_cast<double>(bytes) * 10.0 / 115200.0;
    for (const std::string& line : log.lines()) std::printf("%s\n", line.c_str());
    std::printf("bytes on the wire: %zu\n", bytes);
    std::printf("wall time:  %.3f s\n", wall);
    std::printf("wire time:  %.3f s\n", wire);
    std::printf("ratio:      %.4f (target <= 1.05)\n", wall / wire);
    return 0;
}
