#include <gtest/gtest.h>

#include "menu_rig.h"

namespace {

class SupplyAndChannel : public ::testing::Test {
  protected:
    SupplyAndChannel() { rig.open(); }
    // Chooses the item: the refresh reads the status, then the command gets its reply.
    void choose(MenuItem& item, const std::string& status, const std::string& answer) {
        rig.port.reply(status);
        rig.port.reply(answer);
        item.click();
    }
    std::string lastLog() const {
        return rig.log.lines().empty() ? "" : std::string(rig.log.lines().back());
    }
    MenuRig rig;
};

TEST_F(SupplyAndChannel, SupplyItemsSendTheirSelectorAfterTheRefresh) {
    choose(rig.menu.MainMenuProgVdd3, statusReply('0', "000", "000"), "OK");
    choose(rig.menu.MainMenuProgVdd5, statusReply('0', "000", "000"), "ER");
    choose(rig.menu.MainMenuProgVddU, statusReply('0', "000", "000"), "OK");
    const std::vector<Bytes> frames = {bytesOf("ioread"), bytesOf("vdd3"),   bytesOf("ioread"),
                                       bytesOf("vdd5"),   bytesOf("ioread"), bytesOf("vddu")};
    EXPECT_EQ(rig.port.written, frames);
    const std::vector<std::string> lines = {"Напряжение VDD3 установлено",
                                            "Ошибка установки напряжения VDD5",
                                            "Напряжение VDDU установлено"};
    EXPECT_EQ(rig.log.lines(), lines);
}

TEST_F(SupplyAndChannel, ChoosingASupplyDoesNotMarkIt) {
    choose(rig.menu.MainMenuProgVdd5, statusReply('0', "000", "100"), "OK");
    EXPECT_TRUE(rig.menu.MainMenuProgVdd3.checked());
    EXPECT_FALSE(rig.menu.MainMenuProgVdd5.checked());
}

TEST_F(SupplyAndChannel, VprDirectionComesFromTheMarkThisRunRefreshed) {
    // Unmarked before the run; the programmer reports VPR on, so it goes off.
    ASSERT_FALSE(rig.menu.MainMenuProgVpr.checked());
    choose(rig.menu.MainMenuProgVpr, statusReply('1', "000", "100"), "OK");
    EXPECT_EQ(rig.framesOf("vpr").back(), bytesOf("vpr0"));
    EXPECT_EQ(lastLog(), "Напряжение VPR отключено");
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.checked());

    // Marked before the run; the programmer now reports it off, so it goes on.
    choose(rig.menu.MainMenuProgVpr, statusReply('0', "000", "100"), "OK");
    EXPECT_EQ(rig.framesOf("vpr").back(), bytesOf("vpr1"));
    EXPECT_EQ(lastLog(), "Напряжение VPR установлено");
}

TEST_F(SupplyAndChannel, VprAfterAFailedRefreshFollowsTheLastGoodMark) {
    choose(rig.menu.MainMenuProgVpr, statusReply('1', "000", "100"), "OK");
    choose(rig.menu.MainMenuProgVpr, "short", "??");
    EXPECT_EQ(rig.framesOf("vpr").back(), bytesOf("vpr0"));
    EXPECT_EQ(lastLog(), "Ошибка отключения напряжения VPR");

    choose(rig.menu.MainMenuProgVpr, statusReply('0', "000", "100"), "OK");
    choose(rig.menu.MainMenuProgVpr, "", "");
    EXPECT_EQ(lastLog(), "Ошибка установки напряжения VPR");
}

TEST_F(SupplyAndChannel, EveryChannelItemSendsItsOwnCode) {
    const std::vector<std::string> codes = {"000", "001", "010", "011", "100", "101", "110", "111"};
    const auto channels = rig.menu.channels();
    for (std::size_t i = 0; i < channels.size(); ++i) {
        choose(*channels[i], statusReply('0', "000", "100"), "OK");
        EXPECT_EQ(rig.framesOf("mux").back(), bytesOf("mux" + codes[i]));
        EXPECT_EQ(lastLog(), "Состояние выходов MUX=" + codes[i] + " установлено");
    }
    EXPECT_EQ(rig.framesOf("mux").size(), 8u);

    // A failure names the code too.
    choose(rig.menu.MainMenuProgMUX101, statusReply('0', "000", "100"), "O");
    EXPECT_EQ(lastLog(), "Ошибка установки состояния выходов MUX=101");
}

TEST_F(SupplyAndChannel, ClosedPortFailsEachCommandWithoutSendingIt) {
    rig.link.close();
    rig.menu.MainMenuProgVddU.click();
    rig.menu.MainMenuProgVpr.click();
    rig.menu.MainMenuProgMUX110.click();
    rig.menu.MainMenuProgCheckPorts.click();
    const std::vector<std::string> lines = {
        "Ошибка установки напряжения VDDU", "Ошибка установки напряжения VPR",
        "Ошибка установки состояния выходов MUX=110", "Ошибка выполнения тестовой посылки"};
    EXPECT_EQ(rig.log.lines(), lines);
    EXPECT_TRUE(rig.port.written.empty());
}

TEST_F(SupplyAndChannel, OutputsCheckLogsTheTestReply) {
    choose(rig.menu.MainMenuProgCheckPorts, statusReply('0', "000", "100"), "OK");
    choose(rig.menu.MainMenuProgCheckPorts, statusReply('0', "000", "100"), "NO");
    EXPECT_EQ(rig.framesOf("test"), (std::vector<Bytes>{bytesOf("test"), bytesOf("test")}));
    const std::vector<std::string> lines = {"Тестовая посылка выполнена",
                                            "Ошибка выполнения тестовой посылки"};
    EXPECT_EQ(rig.log.lines(), lines);
}

TEST_F(SupplyAndChannel, MenusAndFindRunOnlyTheirOwnBranch) {
    for (MenuItem* item :
         {&rig.menu.MainMenuProg, &rig.menu.MainMenuProgVdd, &rig.menu.MainMenuProgShow}) {
        rig.port.reply(statusReply('0', "000", "100"));
        item->click();
    }
    EXPECT_EQ(rig.discoveries, 0);
    rig.port.reply(statusReply('0', "000", "100"));
    rig.menu.MainMenuProgFind.click();
    EXPECT_EQ(rig.discoveries, 1);
    EXPECT_EQ(rig.commandWords(), std::vector<std::string>(4, "ioread"));
    EXPECT_TRUE(rig.log.lines().empty());
}

}  // namespace
