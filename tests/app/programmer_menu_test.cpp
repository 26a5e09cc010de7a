#include "app/programmer_menu.h"

#include <gtest/gtest.h>

#include "menu_rig.h"
#include "support/sim_rig.h"

namespace {

struct Marks {
    std::vector<bool> channels;
    bool vpr, vdd3, vdd5, vddU;
    bool operator==(const Marks&) const = default;
};

Marks marksOf(MainMenu& menu) {
    Marks marks{{},
                menu.MainMenuProgVpr.checked(),
                menu.MainMenuProgVdd3.checked(),
                menu.MainMenuProgVdd5.checked(),
                menu.MainMenuProgVddU.checked()};
    for (MenuItem* item : menu.channels()) marks.channels.push_back(item->checked());
    return marks;
}

class MenuRefresh : public ::testing::Test {
  protected:
    // Opens the "Программатор" menu with the programmer answering the reply.
    void openMenuWith(const std::string& reply) {
        rig.port.reply(reply);
        rig.menu.MainMenuProg.click();
    }
    MenuRig rig;
};

TEST_F(MenuRefresh, SupplyMarkFollowsOnlyTheThreeKnownPatterns) {
    rig.open();
    const std::vector<std::pair<std::string, std::array<bool, 3>>> cases = {
        {"100", {true, false, false}}, {"000", {false, false, false}},
        {"010", {false, true, false}}, {"110", {false, false, false}},
        {"001", {false, false, true}}, {"111", {false, false, false}},
    };
    for (const auto& [supply, expected] : cases) {
        openMenuWith(statusReply('0', "000", supply));
        EXPECT_EQ(rig.menu.MainMenuProgVdd3.checked(), expected[0]) << supply;
        EXPECT_EQ(rig.menu.MainMenuProgVdd5.checked(), expected[1]) << supply;
        EXPECT_EQ(rig.menu.MainMenuProgVddU.checked(), expected[2]) << supply;
    }
}

TEST_F(MenuRefresh, VprMarkIsSetOnlyByAOneAtPositionSix) {
    rig.open();
    openMenuWith(statusReply('1', "000", "100"));
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.checked());
    openMenuWith(statusReply('0', "000", "100"));
    EXPECT_FALSE(rig.menu.MainMenuProgVpr.checked());
    openMenuWith(statusReply('1', "000", "100"));
    openMenuWith(statusReply('X', "000", "100"));
    EXPECT_FALSE(rig.menu.MainMenuProgVpr.checked());
}

TEST_F(MenuRefresh, ChannelCodeChecksItsItemAndClearsTheOthers) {
    rig.open();
    openMenuWith(statusReply('0', "111", "100"));
    EXPECT_TRUE(rig.menu.MainMenuProgMUX111.checked());

    openMenuWith(statusReply('0', "101", "100"));
    const auto channels = rig.menu.channels();
    for (std::size_t i = 0; i < channels.size(); ++i) {
        EXPECT_EQ(channels[i]->checked(), i == 5) << channels[i]->caption();
    }
    EXPECT_EQ(rig.menu.MainMenuProgMUX101.caption(), "Канал 5");

    openMenuWith(statusReply('0', "1x1", "100"));
    for (MenuItem* channel : channels) EXPECT_FALSE(channel->checked());
}

TEST_F(MenuRefresh, ShortOrMissingReplyKeepsEveryMarkAndLogsNothing) {
    rig.open();
    openMenuWith(statusReply('1', "011", "010"));
    const Marks before = marksOf(rig.menu);
    ASSERT_TRUE(before.vpr && before.vdd5 && before.channels[3]);

    openMenuWith(statusReply('0', "000", "100").substr(0, 12));
    EXPECT_EQ(marksOf(rig.menu), before);
    openMenuWith("");
    EXPECT_EQ(marksOf(rig.menu), before);
    // A reply too long is cut to 13; the mark it sets is the 13th character's.
    openMenuWith(statusReply('0', "000", "001") + "99");
    EXPECT_TRUE(rig.menu.MainMenuProgVddU.checked());
    EXPECT_TRUE(rig.log.lines().empty());
}

TEST_F(MenuRefresh, ClosedPortDisablesSubmenusHidesChecksAndSendsNothing) {
    rig.menu.MainMenuProgMUX.setEnabled(true);
    rig.menu.MainMenuProgCheckRam.setVisible(true);
    rig.menu.MainMenuProgCheckPorts.setVisible(true);
    rig.menu.MainMenuProg.click();
    EXPECT_FALSE(rig.menu.MainMenuProgVdd.enabled());
    EXPECT_FALSE(rig.menu.MainMenuProgMUX.enabled());
    EXPECT_FALSE(rig.menu.MainMenuProgCheckRam.visible());
    EXPECT_FALSE(rig.menu.MainMenuProgCheckPorts.visible());
    EXPECT_TRUE(rig.port.written.empty());
    EXPECT_TRUE(rig.log.lines().empty());

    rig.open();
    openMenuWith(statusReply('0', "000", "100"));
    EXPECT_TRUE(rig.menu.MainMenuProgVdd.enabled());
    EXPECT_TRUE(rig.menu.MainMenuProgMUX.enabled());
    EXPECT_FALSE(rig.menu.MainMenuProgCheckRam.visible());
    EXPECT_EQ(rig.commandWords(), std::vector<std::string>{"ioread"});
}

TEST(ProgrammerMenuOnSimulator, MarksShowWhatTheDeviceReportsAfterEachChoice) {
    MenuViewRig<SimRig> rig(SimBehaviour::Normal);
    rig.link.runapp();
    rig.device.setSupply(SimSupply::Vdd3);
    rig.device.setVpr(true);
    rig.device.setMux("110");
    rig.choose(rig.menu.MainMenuProg);
    EXPECT_TRUE(rig.menu.MainMenuProgVdd3.checked());
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.checked());
    EXPECT_TRUE(rig.menu.MainMenuProgMUX110.checked());

    rig.choose(rig.menu.MainMenuProgVddU);
    rig.choose(rig.menu.MainMenuProgVpr);
    rig.choose(rig.menu.MainMenuProgMUX101);
    EXPECT_EQ(rig.device.supply(), SimSupply::Vddu);
    EXPECT_FALSE(rig.device.vpr());
    EXPECT_EQ(rig.device.mux(), "101");
    const std::vector<std::string> lines = {"Напряжение VDDU установлено",
                                            "Напряжение VPR отключено",
                                            "Состояние выходов MUX=101 установлено"};
    EXPECT_EQ(rig.log.lines(), lines);

    rig.choose(rig.menu.MainMenuProgVdd);
    EXPECT_TRUE(rig.menu.MainMenuProgVddU.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgVdd3.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgVpr.checked());
    EXPECT_TRUE(rig.menu.MainMenuProgMUX101.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgMUX110.checked());
}

}  // namespace
