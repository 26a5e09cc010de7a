#include "sim/simulated_port.h"

#include <gtest/gtest.h>

#include <chrono>

#include "base/errors.h"
#include "support/sim_rig.h"

namespace {

double msSince(WireClock::time_point start) {
    return std::chrono::duration<double, std::milli>(WireClock::now() - start).count();
}

std::string errorOf(const std::function<void()>& operation) {
    try {
        operation();
    } catch (const PortError& error) {
        return error.what();
    }
    return "";
}

}  // namespace

TEST(SimulatedPort, AClosedPortFailsLikeAClosedRealPort) {
    SimulatedProgrammer device;
    SimulatedPort port(device, false);
    EXPECT_EQ(errorOf([&] { port.purge(); }), "PurgeComm function failed (Error: 6)");
    EXPECT_EQ(errorOf([&] { port.setReadTimeouts({}); }), "SetCommTimeouts failed (Error: 6)");
    EXPECT_EQ(errorOf([&] { port.write(bytesOf("info")); }),
              "WriteFile function failed (Error: 6)");
    EXPECT_EQ(errorOf([&] { port.wait(1); }), "WaitForEvent method failed (Error: 6)");
    EXPECT_EQ(errorOf([&] { port.read(1); }), "ReadFile function failed (Error: 6)");
    EXPECT_EQ(errorOf([&] { port.setDtr(true); }), "EscapeCommFunction function failed (Error: 6)");
    EXPECT_EQ(device.framesReceived("info"), 0);
    EXPECT_NO_THROW(port.close());
}

TEST(SimulatedPort, OpensAnyNameOnceAndForgetsRepliesWhenClosed) {
    SimulatedProgrammer device;
    SimulatedPort port(device, false);
    port.open("COM7");
    port.open("COM8");  // already open: nothing happens
    EXPECT_TRUE(port.isOpen());
    EXPECT_EQ(port.name(), "COM7");
    port.write(bytesOf("info"));
    port.close();
    port.open("SIM");
    EXPECT_TRUE(port.read(100).empty());
}

TEST(SimulatedPort, PurgeDropsUnreadRepliesAndHalfFrames) {
    SimulatedProgrammer device;
    SimulatedPort port(device, false);
    port.open("SIM");
    port.write(bytesOf("info"));
    port.write(bytesOf("runa"));
    port.purge();
    EXPECT_TRUE(port.read(100).empty());
    port.write(bytesOf("pp"));  // would complete "runapp" without the purge
    EXPECT_TRUE(port.read(2).empty());
    EXPECT_FALSE(device.applicationRunning());
}

TEST(SimulatedPort, DroppingDtrAtCloseReleasesAResetLeftHanging) {
    SimulatedProgrammer device;
    SimulatedPort port(device, false);
    port.open("SIM");
    port.setDtr(true);
    EXPECT_TRUE(device.heldInReset());
    port.close();
    EXPECT_FALSE(device.heldInReset());
    EXPECT_EQ(device.resets(), 1);
}

TEST(SimulatedPortWireTime, ARamBlockExchangeTakesAtLeastItsWireTime) {
    SimRig rig(SimBehaviour::Normal, true);
    rig.link.runapp();
    const Bytes block(1024, 0x3C);
    const auto start = WireClock::now();
    EXPECT_TRUE(rig.link.ramwrite(block, 0, 0, 1024));
    // 1037 bytes out and "OK" back: 90.2 ms on the wire.
    EXPECT_GE(msSince(start), 90.0);

    Bytes back(1024);
    const auto readStart = WireClock::now();
    EXPECT_TRUE(rig.link.ramread(back, 0, 1024));
    EXPECT_GE(msSince(readStart), 89.9);
    EXPECT_EQ(back, block);
}

TEST(SimulatedPortWireTime, TheDeviceWorksBeforeItAnswers) {
    SimRig rig(SimBehaviour::Normal, true);
    rig.device.setWorkTime("erase", std::chrono::milliseconds(60));
    const auto start = WireClock::now();
    EXPECT_TRUE(rig.link.erase());
    EXPECT_GE(msSince(start), 60.0);
}

TEST(SimulatedPortWireTime, AReadWaitsOutItsTimeOutsWhenNothingComes) {
    SimulatedProgrammer device(SimBehaviour::Silent);
    SimulatedPort port(device, true);
    port.open("SIM");
    port.setReadTimeouts({10, 10, 10});
    port.write(bytesOf("info"));
    const auto start = WireClock::now();
    port.wait(5);
    EXPECT_GE(msSince(start), 5.0);
    const auto readStart = WireClock::now();
    EXPECT_TRUE(port.read(2).empty());
    EXPECT_GE(msSince(readStart), 30.0);
}

TEST(SimulatedPortWireTime, AnInfoReplyIsCollectedWholeAndEndsAfterAQuietInterval) {
    SimRig rig(SimBehaviour::Normal, true);
    const auto start = WireClock::now();
    EXPECT_EQ(rig.link.info(), rig.device.infoText());
    // The reply's wire time plus the 100 ms interval that tells it is over.
    EXPECT_GE(msSince(start), 100.0 + 44 * 0.0868);
    EXPECT_EQ(rig.port.bytesWritten(), 4u);
    EXPECT_EQ(rig.port.bytesRead(), rig.device.infoText().size());
}
