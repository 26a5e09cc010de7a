#include <gtest/gtest.h>

#include "link/programmer_link.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"

namespace {

struct LinkFixture : ::testing::Test {
    FakeSerialPort port;
    FakePortEnumerator ports;
    ManualPump pump;
    FakeBeeper beeper;
    ProgrammerLink link{port, ports, pump, beeper};

    void openLink() {
        link.open();
        port.calls.clear();
    }
};

}  // namespace

using Exchange = LinkFixture;

TEST_F(Exchange, ClosedPortFailsWithoutTouchingThePort) {
    Bytes reply;
    EXPECT_FALSE(link.Exchange({'t', 'e', 's', 't'}, 150, 2, 2, reply));
    EXPECT_EQ(link.info(), "NULL");
    EXPECT_FALSE(link.erase());
    EXPECT_FALSE(link.ResetPulse());
    EXPECT_TRUE(port.calls.empty());
    EXPECT_TRUE(port.dtr.empty());
}

TEST_F(Exchange, RunsPurgeTimeoutsWriteWaitReadInOrder) {
    openLink();
    port.reply("OK");
    EXPECT_TRUE(link.test());
    EXPECT_EQ(port.calls, (std::vector<std::string>{"purge", "timeouts", "write", "wait", "read"}));
    EXPECT_EQ(port.timeouts, (ReadTimeouts{150, 150, 150}));
    EXPECT_EQ(link.readTimeouts(), (ReadTimeouts{150, 150, 150}));
}

TEST_F(Exchange, JudgesTheTwoByteReply) {
    openLink();
    port.reply("O");
    EXPECT_FALSE(link.test());
    port.reply("ok");
    EXPECT_FALSE(link.test());
    port.reply("OKK");  // longer replies are cut at two bytes
    EXPECT_TRUE(link.test());
    port.reply("");
    EXPECT_FALSE(link.test());
}

TEST_F(Exchange, PurgeErrorEscapesToTheCaller) {
    openLink();
    port.failing = {"purge"};
    EXPECT_THROW(link.test(), PortError);
    EXPECT_THROW(link.info(), PortError);
}

TEST_F(Exchange, ErrorsWhileExchangingBecomeAFailure) {
    openLink();
    for (const char* step : {"write", "wait", "read", "timeouts"}) {
        port.failing = {step};
        port.reply("OK");
        EXPECT_FALSE(link.test()) << step;
    }
    port.failing = {"read"};
    EXPECT_EQ(link.info(), "NULL");
}

TEST_F(Exchange, InfoLetsATimeoutErrorEscape) {
    openLink();
    port.failing = {"timeouts"};
    EXPECT_THROW(link.info(), PortError);
}

TEST_F(Exchange, InfoReturnsWhateverCameAndEmptyForSilence) {
    openLink();
    port.reply("Telvarn-1 Mode-BOOT");
    EXPECT_EQ(link.info(), "Telvarn-1 Mode-BOOT");
    EXPECT_EQ(link.info(), "");
    EXPECT_EQ(port.timeouts, (ReadTimeouts{100, 100, 100}));
}

TEST_F(Exchange, ResetPulseRaisesThenDropsDtrAndSleeps) {
    openLink();
    EXPECT_TRUE(link.ResetPulse());
    EXPECT_EQ(port.dtr, (std::vector<bool>{true, false}));
    EXPECT_EQ(pump.sleptMs, 501u);
    port.failing = {"dtr"};
    EXPECT_THROW(link.ResetPulse(), PortError);
}

TEST_F(Exchange, SettingTheSameNameDoesNotReopen) {
    link.setPortName("COM3");
    openLink();
    link.setPortName("COM3");
    EXPECT_TRUE(port.calls.empty());
    link.setPortName("COM4");
    EXPECT_EQ(port.calls, (std::vector<std::string>{"close", "open", "timeouts"}));
    EXPECT_EQ(port.name, "COM4");
}

TEST_F(Exchange, TripleBeepPumpsBetweenBeeps) {
    link.TripleBeep();
    EXPECT_EQ(beeper.beeps, 3);
    EXPECT_EQ(pump.now, 400u);
}
