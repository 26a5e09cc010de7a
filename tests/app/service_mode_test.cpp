#include <gtest/gtest.h>

#include "menu_rig.h"
#include "support/ram_model.h"

namespace {

// Every state the toggle touches.
struct ToggleState {
    bool ramVisible, portsVisible, showVisible;
    bool fuseVisible, fuseChecked, ramFinalVisible, ramFinalChecked;
    bool vprEnabled, vprVisible, dumpVisible, dumpEnabled;
    std::string ramShortcut, portsShortcut, showShortcut, dumpShortcut;
    bool operator==(const ToggleState&) const = default;
};

ToggleState stateOf(MainMenu& m) {
    return {m.MainMenuProgCheckRam.visible(),      m.MainMenuProgCheckPorts.visible(),
            m.MainMenuProgShow.visible(),          m.MainMenuChipLoadFuseFunal.visible(),
            m.MainMenuChipLoadFuseFunal.checked(), m.MainMenuChipLoadRamFinal.visible(),
            m.MainMenuChipLoadRamFinal.checked(),  m.MainMenuProgVpr.enabled(),
            m.MainMenuProgVpr.visible(),           m.MainMenuChipDump.visible(),
            m.MainMenuChipDump.enabled(),          m.MainMenuProgCheckRam.shortcut(),
            m.MainMenuProgCheckPorts.shortcut(),   m.MainMenuProgShow.shortcut(),
            m.MainMenuChipDump.shortcut()};
}

class ServiceModeTest : public ::testing::Test {
  protected:
    ServiceModeTest() { device.attach(rig.port); }
    MenuRig rig;
    RamModel device;
};

TEST_F(ServiceModeTest, CtrlF12EntersWithEveryEffect) {
    rig.open();
    ASSERT_TRUE(rig.menu.pressShortcut("Ctrl+F12"));
    const ToggleState on{true, true, false, true,        false, true,       false, true,
                         true, true, true,  "Shift+F12", "F12", "Ctrl+F12", "F3"};
    EXPECT_EQ(stateOf(rig.menu), on);
    EXPECT_TRUE(rig.handler.serviceMode().on());
    EXPECT_EQ(rig.log.background(), kYellow);
    EXPECT_EQ(rig.beeper.beeps, 1);
    EXPECT_TRUE(rig.log.lines().empty());
    // The menu's refresh runs first, then the item's own with the toggle.
    EXPECT_EQ(rig.commandWords(), (std::vector<std::string>{"ioread", "ioread"}));
}

TEST_F(ServiceModeTest, TwiceRestoresEveryItemButLeavesTheLogSkyBlue) {
    rig.open();
    const ToggleState start = stateOf(rig.menu);
    ASSERT_EQ(rig.log.background(), kLogStartColour);
    rig.menu.pressShortcut("Ctrl+F12");
    rig.menu.pressShortcut("Ctrl+F12");
    EXPECT_EQ(stateOf(rig.menu), start);
    EXPECT_FALSE(rig.handler.serviceMode().on());
    EXPECT_EQ(rig.log.background(), kSkyBlue);
    EXPECT_EQ(rig.beeper.beeps, 2);
}

TEST_F(ServiceModeTest, ClosedPortTogglesNothing) {
    const ToggleState start = stateOf(rig.menu);
    EXPECT_TRUE(rig.menu.pressShortcut("Ctrl+F12"));
    EXPECT_EQ(stateOf(rig.menu), start);
    EXPECT_EQ(rig.log.background(), kLogStartColour);
    EXPECT_EQ(rig.beeper.beeps, 0);
    EXPECT_FALSE(rig.menu.MainMenuProgVdd.enabled());
}

TEST_F(ServiceModeTest, ClosedPortEndsTheModeButKeepsItsOtherEffects) {
    rig.open();
    rig.menu.pressShortcut("Ctrl+F12");
    rig.link.close();
    rig.menu.pressShortcut("Ctrl+F12");
    EXPECT_FALSE(rig.handler.serviceMode().on());
    EXPECT_FALSE(rig.menu.MainMenuProgCheckPorts.visible());
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.enabled());
    EXPECT_TRUE(rig.menu.MainMenuChipDump.visible());
    EXPECT_EQ(rig.log.background(), kYellow);

    // Open again, the next Ctrl+F12 enters the mode anew.
    rig.open();
    rig.menu.pressShortcut("Ctrl+F12");
    EXPECT_TRUE(rig.handler.serviceMode().on());
    EXPECT_TRUE(rig.menu.MainMenuProgCheckPorts.visible());
    EXPECT_EQ(rig.log.background(), kYellow);
    EXPECT_EQ(rig.beeper.beeps, 2);
}

TEST_F(ServiceModeTest, F12KeysReachTheChecksOnlyInServiceMode) {
    rig.open();
    EXPECT_FALSE(rig.menu.pressShortcut("F12"));
    EXPECT_FALSE(rig.menu.pressShortcut("Shift+F12"));
    rig.menu.pressShortcut("Ctrl+F12");

    EXPECT_TRUE(rig.menu.pressShortcut("F12"));
    EXPECT_EQ(rig.framesOf("test").size(), 1u);
    EXPECT_TRUE(rig.menu.pressShortcut("Shift+F12"));
    EXPECT_EQ(rig.framesOf("ramwrite").size(), 384u);
    std::vector<std::string> lines = {"Тестовая посылка выполнена"};
    for (const std::string& line : ramCheckLines("OK OK OK OK OK OK")) lines.push_back(line);
    EXPECT_EQ(rig.log.lines(), lines);

    rig.menu.pressShortcut("Ctrl+F12");
    EXPECT_FALSE(rig.menu.pressShortcut("F12"));
    EXPECT_FALSE(rig.menu.pressShortcut("Shift+F12"));
    EXPECT_EQ(rig.framesOf("test").size(), 1u);
}

TEST_F(ServiceModeTest, VprIsChoosableOnlyInServiceMode) {
    rig.open();
    rig.menu.MainMenuProg.click();
    EXPECT_FALSE(rig.menu.MainMenuProgVpr.enabled());
    rig.menu.pressShortcut("Ctrl+F12");
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.enabled());
    // The refresh leaves the enabled state of VPR to the mode.
    rig.menu.MainMenuProg.click();
    EXPECT_TRUE(rig.menu.MainMenuProgVpr.enabled());
}

}  // namespace
