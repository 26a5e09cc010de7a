// A full firmware update (122880 bytes, 480 pages) against the simulated
// programmer with wire time modelled at 115200 baud: how close the update
// comes to the time its bytes need on the line.
#include <chrono>
#include <cstdio>
#include <thread>

#include "link/programmer_link.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"
#include "sim/wire_timing.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/temp_folder.h"
#include "update/firmware_update.h"

namespace {

// The reset pulse's pauses are real time, as with the window's message loop.
struct SleepingPump : ManualPump {
    void sleep(std::uint32_t ms) override {
        ManualPump::sleep(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

double seconds(std::chrono::nanoseconds time) {
    return std::chrono::duration<double>(time).count();
}

}  // namespace

int main() {
    constexpr auto kEraseWork = std::chrono::milliseconds(500);

    TempFolder folder;
    Bytes firmware(kFirmwareLimit);
    for (std::size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<std::uint8_t>(i * 7);
    folder.write(kFirmwareName, firmware);

    SimulatedProgrammer device;
    device.setWorkTime("erase", kEraseWork);
    SimulatedPort port(device, true);
    FakePortEnumerator ports;
    SleepingPump pump;
    FakeBeeper beeper;
    ProgrammerLink link(port, ports, pump, beeper);
    link.setPortName("SIM");
    link.open();
    Log log;
    StatusLine status;
    auto timer = pump.createTimer([] {});
    FirmwareUpdate update(FirmwareUpdateContext{link, log, status, *timer,
                                                folder.file(kFirmwareName), nullptr, nullptr});

    const auto start = std::chrono::steady_clock::now();
    update.TimerProgTimer();
    const auto wall = std::chrono::steady_clock::now() - start;

    const bool flashed = std::equal(firmware.begin(), firmware.end(), device.flash().begin()) &&
                         log.lines().back() == "Запуск основного приложения : OK";
    const auto wire = wireTime(port.bytesWritten() + port.bytesRead());
    const auto resetWait = std::chrono::milliseconds(pump.sleptMs);
    const auto work = wall - kEraseWork - resetWait;

    std::printf("firmware update of %zu bytes (%d pages) on the simulator, 115200 baud\n",
                firmware.size(), device.pagesProgrammed());
    std::printf("  result                          %s\n",
                flashed ? "flashed, application started" : "FAILED");
    std::printf("  bytes on the line               %zu sent, %zu received\n", port.bytesWritten(),
                port.bytesRead());
    std::printf("  wall time                       %.3f s\n", seconds(wall));
    std::printf("  wire time                       %.3f s\n", seconds(wire));
    std::printf("  erase time of the device        %.3f s\n", seconds(kEraseWork));
    std::printf("  reset pulse pauses              %.3f s\n", seconds(resetWait));
    std::printf("  wall / wire                     %.3f\n", seconds(wall) / seconds(wire));
    std::printf("  (wall - erase) / wire           %.3f\n",
                seconds(wall - kEraseWork) / seconds(wire));
    std::printf("  (wall - erase - reset) / wire   %.3f   (target <= 1.10)\n",
                seconds(work) / seconds(wire));
    return flashed ? 0 : 1;
}
