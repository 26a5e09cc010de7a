#include <gtest/gtest.h>

#include "chip/buffer_load.h"
#include "chip/chip_operation.h"
#include "support/recorded_report.h"
#include "support/sim_rig.h"
#include "support/temp_folder.h"

namespace {

// Loading and programming on the simulated programmer, its application running.
struct SimulatedChipBench : SimRig {
    explicit SimulatedChipBench(SimBehaviour behaviour) : SimRig(behaviour) {
        EXPECT_TRUE(link.runapp());
    }

    TempFolder folder;
    RecordedReport log;
    ChipBuffer buffer;

    void loadAndProgram() {
        // Bits in every block, and bit 29628 left set by the file.
        folder.write("chip.txt", std::string("0\n1023\n$2000\n0x4321\n29627\n30716\n32767\n"));
        loadDataFileIntoBuffer(folder.file("chip.txt"), buffer, log);
        loaded = buffer;
        log.clear();
        runChipOperation(ChipOperationKind::Program, kVariant02, ChipOptions{}, link, buffer, log);
    }
    // The operation leaves the buffer as the load filled it.
    void expectBufferAsLoaded() const {
        for (std::size_t i = 0; i < ChipBuffer::kSize; ++i) {
            ASSERT_EQ(buffer[i], loaded[i]) << "byte " << i;
        }
    }
    ChipBuffer loaded;
};

}  // namespace

TEST(ChipOnSimulator, ProgramWritesTheImageWithTheForcedBit) {
    SimulatedChipBench bench(SimBehaviour::Normal);
    bench.loadAndProgram();
    EXPECT_EQ(bench.log.lines(), (std::vector<std::string>{"Загрузка данных в программатор : OK",
                                                           "Проверка данных программатора : OK",
                                                           "Программирование : OK"}));
    EXPECT_EQ(bench.device.lastProgmode(), "02R");
    const auto ram = bench.device.ram();
    for (std::size_t i = 0; i < 4096; ++i) {
        const std::uint8_t expected = i == 3703 ? bench.loaded[i] & ~0x10 : bench.loaded[i];
        ASSERT_EQ(ram[i], expected) << "byte " << i;
    }
    EXPECT_NE(bench.loaded[0], 0xFF);
    bench.expectBufferAsLoaded();
    EXPECT_EQ(bench.beeper.beeps, 1);
}

TEST(ChipOnSimulator, BadRamFailsTheVerifyAndSendsNoProgmode) {
    SimulatedChipBench bench(SimBehaviour::BadRam);
    bench.loadAndProgram();
    EXPECT_EQ(bench.log.lines(),
              (std::vector<std::string>{"Загрузка данных в программатор : OK",
                                        "Ошибка проверки данных программатора"}));
    EXPECT_EQ(bench.device.framesReceived("progmode"), 0);
    EXPECT_EQ(bench.beeper.beeps, 3);
    bench.expectBufferAsLoaded();
}
