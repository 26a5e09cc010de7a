#include <gtest/gtest.h>

#include <algorithm>

#include "support/sim_rig.h"
#include "support/temp_folder.h"
#include "support/test_bytes.h"
#include "support/window_parts.h"
#include "update/firmware_update.h"

namespace {

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
    const Bytes firmware = patternedBytes(1000, 13);
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
    const Bytes firmware = patternedBytes(200000, 13);
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
