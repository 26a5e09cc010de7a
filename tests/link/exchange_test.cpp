#include <gtest/gtest.h>

#include "support/scripted_link.h"

namespace {

struct LinkFixture : ::testing::Test, ScriptedLink {
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

TEST_F(Exchange, APurgeErrorEscapesAndOtherPortErrorsFailTheCommand) {
    // `info` alone lets an error setting the time-outs escape as well.
    struct Case {
        const char* step;
        bool info;
        const char* outcome;
    };
    const Case cases[] = {
        {"purge", false, "escapes"},   {"purge", true, "escapes"}, {"timeouts", true, "escapes"},
        {"timeouts", false, "failed"}, {"write", false, "failed"}, {"wait", false, "failed"},
        {"read", false, "failed"},     {"read", true, "NULL"},
    };
    openLink();
    for (const Case& c : cases) {
        port.failing = {c.step};
        port.reply("OK");
        std::string outcome;
        try {
            outcome = c.info ? link.info() : link.test() ? "OK" : "failed";
        } catch (const PortError&) {
            outcome = "escapes";
        }
        EXPECT_EQ(outcome, c.outcome) << c.step << (c.info ? " in info" : " in test");
    }
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
