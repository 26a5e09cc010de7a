// Measures how close programmer exchanges over the simulated line come to the
// wire time of their bytes: firmware pages through the bootloader, then RAM
// blocks written and read back as the RAM check does.
#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <string>

#include "support/sim_rig.h"
#include "support/wire_figures.h"

namespace {

constexpr int kPages = 480;
constexpr int kRamBlockExchanges = 768;
constexpr std::uint16_t kBlock = 1024;

std::string counted(const char* what, int exchanges) {
    return std::string(what) + " x" + std::to_string(exchanges);
}

std::string failed(int failures) {
    return "failed " + std::to_string(failures);
}

}  // namespace

int main(int argc, char** argv) {
    // An optional divisor shortens the run for a quick look.
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const int pages = kPages / divisor;
    const int ramExchanges = kRamBlockExchanges / divisor;

    SimRig rig(SimBehaviour::Normal, true);
    Bytes image(SimulatedProgrammer::kRamSize);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);

    int progFailures = 0;
    const WireFigures prog = timeOnWire(rig.port, [&] {
        for (int page = 0; page < pages; ++page) progFailures += !rig.link.prog(image, page * 256u);
    });
    rig.link.runapp();
    int ramFailures = 0;
    const WireFigures ram = timeOnWire(rig.port, [&] {
        Bytes back(kBlock);
        const std::uint32_t blocks = SimulatedProgrammer::kRamSize / kBlock;
        for (int i = 0; i < ramExchanges; i += 2) {
            const std::uint32_t address = (static_cast<std::uint32_t>(i) / 2 % blocks) * kBlock;
            ramFailures += !rig.link.ramwrite(image, address, address, kBlock);
            ramFailures += !rig.link.ramread(back, address, kBlock);
        }
    });

    const WireFigures total{prog.wallSeconds + ram.wallSeconds, prog.wireSeconds + ram.wireSeconds,
                            prog.bytes + ram.bytes};
    std::printf("Simulated line at 115200 baud, 10 bits per byte\n");
    printWireFigures(counted("prog (266 + 2 bytes)", pages), prog, failed(progFailures));
    printWireFigures(counted("ramwrite/ramread (1 KiB)", ramExchanges), ram, failed(ramFailures));
    printWireFigures(counted("all", pages + ramExchanges), total,
                     failed(progFailures + ramFailures));
    std::printf("target ratio <= 1.10: %s\n", total.ratio() <= 1.10 ? "met" : "NOT met");
    return progFailures + ramFailures == 0 ? 0 : 1;
}
