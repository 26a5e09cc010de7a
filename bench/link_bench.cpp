// Measures how close programmer exchanges over the simulated line come to the
// wire time of their bytes: firmware pages through the bootloader, then RAM
// blocks written and read back as the RAM check does.
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <functional>

#include "link/programmer_link.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"

namespace {

constexpr int kPages = 480;
constexpr int kRamBlockExchanges = 768;
constexpr std::uint16_t kBlock = 1024;

struct Figures {
    double wallSeconds = 0;
    double wireSeconds = 0;
    int failures = 0;
};

// Runs the exchanges and sets the wall time against the wire time of the bytes
// they moved in both directions.
Figures measure(SimulatedPort& port, const std::function<int()>& exchanges) {
    const std::size_t bytesBefore = port.bytesWritten() + port.bytesRead();
    const auto start = std::chrono::steady_clock::now();
    Figures figures;
    figures.failures = exchanges();
    figures.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    const std::size_t bytes = port.bytesWritten() + port.bytesRead() - bytesBefore;
    figures.wireSeconds = std::chrono::duration<double>(wireTime(bytes)).count();
    return figures;
}

void print(const char* what, int count, const Figures& figures) {
    std::printf("%-28s %5d exchanges  wall %8.3f s  wire %8.3f s  ratio %.4f  failed %d\n", what,
                count, figures.wallSeconds, figures.wireSeconds,
                figures.wallSeconds / figures.wireSeconds, figures.failures);
}

}  // namespace

int main(int argc, char** argv) {
    // An optional divisor shortens the run for a quick look.
    const int divisor = argc > 1 ? std::max(1, std::atoi(argv[1])) : 1;
    const int pages = kPages / divisor;
    const int ramExchanges = kRamBlockExchanges / divisor;

    SimulatedProgrammer device;
    device.setWorkTime("erase", std::chrono::milliseconds(0));
    SimulatedPort port(device, true);
    FakePortEnumerator ports;
    ManualPump pump;
    FakeBeeper beeper;
    ProgrammerLink link(port, ports, pump, beeper);
    link.setPortName("SIM");
    link.open();

    Bytes image(SimulatedProgrammer::kRamSize);
    for (std::size_t i = 0; i < image.size(); ++i) image[i] = static_cast<std::uint8_t>(i * 31 + 7);

    const Figures prog = measure(port, [&] {
        int failed = 0;
        for (int page = 0; page < pages; ++page) failed += !link.prog(image, page * 256u);
        return failed;
    });
    link.runapp();
    const Figures ram = measure(port, [&] {
        int failed = 0;
        Bytes back(kBlock);
        const std::uint32_t blocks = SimulatedProgrammer::kRamSize / kBlock;
        for (int i = 0; i < ramExchanges; i += 2) {
            const std::uint32_t address = (static_cast<std::uint32_t>(i) / 2 % blocks) * kBlock;
            failed += !link.ramwrite(image, address, address, kBlock);
            failed += !link.ramread(back, address, kBlock);
        }
        return failed;
    });

    Figures total{prog.wallSeconds + ram.wallSeconds, prog.wireSeconds + ram.wireSeconds,
                  prog.failures + ram.failures};
    std::printf("Simulated line at 115200 baud, 10 bits per byte\n");
    print("prog (266 + 2 bytes)", pages, prog);
    print("ramwrite/ramread (1 KiB)", ramExchanges, ram);
    print("all", pages + ramExchanges, total);
    std::printf("target ratio <= 1.10: %s\n",
                total.wallSeconds / total.wireSeconds <= 1.10 ? "met" : "NOT met");
    return total.failures == 0 ? 0 : 1;
}
