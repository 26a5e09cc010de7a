#include <gtest/gtest.h>

#include <algorithm>

#include "support/sim_rig.h"
#include "support/temp_folder.h"
#include "support/window_parts.h"
#include "update/firmware_update.h"

namespace {

Bytes firmwareOf(std::size_t size) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * 13 + i / 256);
    return bytes;
}

// The update against the simulated programmer, whose bootloader checks every
// page's checksum and keeps what it was given in its flash.
struct FirmwareUpdateOnSimulator : ::testing::Test, SimRig, WindowParts {
    TempFolder folder;
    std::unique_ptr<Timer> timer = pump.createTimer([] {});
    FirmwareUpdate update{FirmwareUpdateContext{
        link, log, status, *timer, folder.file("Telvarn-1_APPL.cbin"), nullptr, nullptr}};

    Bytes flash() const { return Bytes(device.flash().begin(), device.flash().end()); }
};

}  // namespace

TEST_F(FirmwareUpdateOnSimulator, TheFlashHoldsTheFileAndTheRestIsErased) {
    const Bytes firmware = firmwareOf(1000);
    folder.write("Telvarn-1_APPL.cbin", firmware);
    update.TimerProgTimer();

    Bytes expected = firmware;
    expected.resize(SimulatedProgrammer::kFlashSize, 0xFF);
    EXPECT_EQ(flash(), expected);
    EXPECT_EQ(device.pagesProgrammed(), 4);
    EXPECT_TRUE(device.applicationRunning());
    EXPECT_EQ(log.lines().back(), "Запуск основного приложения : OK");
    EXPECT_FALSE(folder.exists("Telvarn-1_APPL.cbin"));
}

TEST_F(FirmwareUpdateOnSimulator, ALongFileFillsTheWholeApplicationArea) {
    const Bytes firmware = firmwareOf(200000);
    folder.write("Telvarn-1_APPL.cbin", firmware);
    update.TimerProgTimer();

    EXPECT_EQ(flash(), Bytes(firmware.begin(), firmware.begin() + SimulatedProgrammer::kFlashSize));
    EXPECT_EQ(device.pagesProgrammed(), 480);
    EXPECT_EQ(status.text(), "Программирование завершено");
}

TEST_F(FirmwareUpdateOnSimulator, AnEmptyFileLeavesTheApplicationInPlace) {
    const Bytes factory = flash();
    folder.write("Telvarn-1_APPL.cbin", Bytes{});
    update.TimerProgTimer();

    EXPECT_EQ(flash(), factory);
    EXPECT_EQ(device.framesReceived("erase"), 0);
    EXPECT_EQ(device.resets(), 0);
}
