// A full "Прошить" against the simulated programmer with wire time modelled:
// how close the operation comes to the time its bytes spend on the line plus
// the time the device works on progmode.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "chip/chip_menu.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/temp_folder.h"

namespace {

constexpr int kRuns = 5;

struct Run {
    double wallSeconds = 0;
    double wireSeconds = 0;
    bool succeeded = false;
};

Run programOnce(const std::string& dataFile, std::chrono::milliseconds progmodeWork) {
    SimulatedProgrammer device;
    device.setWorkTime("progmode", progmodeWork);
    SimulatedPort port(device, true);
    FakePortEnumerator ports;
    ManualPump pump;
    FakeBeeper beeper;
    FakeDialogs dialogs;
    MainMenu menu;
    Log log;
    StatusLine status;
    ChipBuffer buffer;
    ProgrammerLink link(port, ports, pump, beeper);
    ChipMenu chip(ChipMenuContext{menu, link, log, status, buffer, dialogs, "."});
    link.open();
    link.runapp();
    dialogs.fileToOpen = dataFile;
    chip.MainMenuChipClick(menu.MainMenuChipLoadFile);
    chip.MainMenuChipClick(menu.MainMenuChipMode02);

    const std::size_t bytesBefore = port.bytesWritten() + port.bytesRead();
    const auto start = std::chrono::steady_clock::now();
    chip.MainMenuChipClick(menu.MainMenuChipLoadRam);
    Run run;
    run.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::size_t bytes = port.bytesWritten() + port.bytesRead() - bytesBefore;
    run.wireSeconds = std::chrono::duration<double>(wireTime(bytes)).count();
    run.succeeded = log.lines().back() == "Программирование : OK";
    return run;
}

}  // namespace

int main() {
    TempFolder folder;
    std::string content;
    for (std::uint32_t bit = 0; bit < 30718; bit += 3) content += std::to_string(bit) + "\r\n";
    folder.write("chip.txt", content);

    // With the device's default progmode work, then with an instant device so
    // that only the line remains.
    for (const auto progmodeWork : {std::chrono::milliseconds(300), std::chrono::milliseconds(0)}) {
        const double work = std::chrono::duration<double>(progmodeWork).count();
        std::vector<double> ratios;
        for (int i = 0; i < kRuns; ++i) {
            const Run run = programOnce(folder.file("chip.txt"), progmodeWork);
            const double ideal = run.wireSeconds + work;
            ratios.push_back(run.wallSeconds / ideal);
            std::printf(
                "run %d: wall %.4f s  wire %.4f s  + progmode work %.3f s  ratio %.4f  %s\n", i + 1,
                run.wallSeconds, run.wireSeconds, work, run.wallSeconds / ideal,
                run.succeeded ? "OK" : "FAILED");
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("median ratio wall / (wire + device work): %.4f (target <= 1.10)\n\n",
                    ratios[ratios.size() / 2]);
    }
    return 0;
}
