// A full "Прошить" against the simulated programmer with wire time modelled:
// how close the operation comes to the time its bytes spend on the line plus
// the time the device works on progmode.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <vector>

#include "support/session_rig.h"
#include "support/sim_rig.h"
#include "support/bench_chip_file.h"
#include "support/wire_figures.h"

namespace {

constexpr int kRuns = 5;

struct Run {
    WireFigures figures;
    bool succeeded = false;
};

Run programOnce(const std::string& dataFile, std::chrono::milliseconds progmodeWork) {
    SessionRig<SimRig> rig(SimBehaviour::Normal, true);
    rig.device.setWorkTime("progmode", progmodeWork);
    rig.link.runapp();
    rig.session.load(dataFile);
    rig.session.selectVariant(kVariant02);

    Run run;
    run.figures = timeOnWire(rig.port, [&] { rig.session.program(); });
    run.succeeded = rig.log.lines().back() == "Программирование : OK";
    return run;
}

}  // namespace

int main() {
    TempFolder folder;
    const std::string chipFile = writeBenchChipFile(folder);

    // With the device's default progmode work, then with an instant device so
    // that only the line remains.
    for (const auto progmodeWork : {std::chrono::milliseconds(300), std::chrono::milliseconds(0)}) {
        const double work = std::chrono::duration<double>(progmodeWork).count();
        std::vector<double> ratios;
        for (int i = 0; i < kRuns; ++i) {
            const Run run = programOnce(chipFile, progmodeWork);
            const double ideal = run.figures.wireSeconds + work;
            ratios.push_back(run.figures.wallSeconds / ideal);
            std::printf(
                "run %d: wall %.4f s  wire %.4f s  + progmode work %.3f s  ratio %.4f  %s\n", i + 1,
                run.figures.wallSeconds, run.figures.wireSeconds, work,
                run.figures.wallSeconds / ideal, run.succeeded ? "OK" : "FAILED");
        }
        std::sort(ratios.begin(), ratios.end());
        std::printf("median ratio wall / (wire + device work): %.4f (target <= 1.10)\n\n",
                    ratios[ratios.size() / 2]);
    }
    return 0;
}
