// A full firmware update (122880 bytes, 480 pages) against the simulated
// programmer with wire time modelled at 115200 baud: how close the update
// comes to the time its bytes need on the line.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <thread>

#include "support/session_rig.h"
#include "support/sim_rig.h"
#include "support/temp_folder.h"
#include "support/wire_figures.h"
#include "control/firmware_file.h"

namespace {

// The reset pulse's pauses are real time, as with the window's message loop.
struct SleepingPump : ManualPump {
    void sleep(std::uint32_t ms) override {
        ManualPump::sleep(ms);
        std::this_thread::sleep_for(std::chrono::milliseconds(ms));
    }
};

// The wall time less the named pause, against the same wire time.
WireFigures without(const WireFigures& figures, std::chrono::milliseconds pause) {
    WireFigures less = figures;
    less.wallSeconds -= std::chrono::duration<double>(pause).count();
    return less;
}

}  // namespace

int main() {
    constexpr auto kEraseWork = std::chrono::milliseconds(500);

    TempFolder folder;
    Bytes firmware(kFirmwareLimit);
    for (std::size_t i = 0; i < firmware.size(); ++i)
        firmware[i] = static_cast<std::uint8_t>(i * 7);
    folder.write(kFirmwareName, firmware);

    SessionRig<SimRigWith<SleepingPump>> rig(SimBehaviour::Normal, true);
    rig.device.setWorkTime("erase", kEraseWork);

    FlashResult result = FlashResult::Failed;
    const WireFigures all =
        timeOnWire(rig.port, [&] { result = rig.session.flash(folder.file(kFirmwareName)); });

    const bool flashed = result == FlashResult::Flashed &&
                         std::equal(firmware.begin(), firmware.end(), rig.device.flash().begin()) &&
                         rig.log.lines().back() == "Запуск основного приложения : OK";
    const auto resetWait = std::chrono::milliseconds(rig.pump.sleptMs);
    const WireFigures lessErase = without(all, kEraseWork);

    std::printf("firmware update of %zu bytes (%d pages) on the simulator, 115200 baud: %s\n",
                firmware.size(), rig.device.pagesProgrammed(),
                flashed ? "flashed, application started" : "FAILED");
    std::printf(
        "bytes on the line: %zu sent, %zu received; device erase %.3f s, reset pulse "
        "pauses %.3f s\n",
        rig.port.bytesWritten(), rig.port.bytesRead(),
        std::chrono::duration<double>(kEraseWork).count(),
        std::chrono::duration<double>(resetWait).count());
    printWireFigures("whole update", all);
    printWireFigures("less the erase", lessErase);
    printWireFigures("less the erase and the reset", without(lessErase, resetWait),
                     "(target <= 1.10)");
    return flashed ? 0 : 1;
}
