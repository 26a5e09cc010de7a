#include "window/main_menu.h"

#include <gtest/gtest.h>

#include <set>

namespace {

// Records the order in which click actions run.
struct Clicks {
    std::vector<std::string> order;
    void watch(MenuItem& item) {
        item.setOnClick([this](MenuItem& clicked) { order.push_back(clicked.name()); });
    }
};

}  // namespace

TEST(MainMenu, HasTheFullTreeInMenuOrder) {
    MainMenu menu;
    std::vector<std::string> names;
    for (MenuItem* item : menu.all()) names.push_back(item->name());
    ASSERT_EQ(names.size(), 40u);
    EXPECT_EQ(names.front(), "MainMenuChip");
    EXPECT_EQ(names.back(), "MainMenuHelpLoadCbin");
    EXPECT_EQ(menu.MainMenuProgMUX101.parent(), &menu.MainMenuProgMUX);
    EXPECT_EQ(menu.MainMenuProgVpr.parent(), &menu.MainMenuProgVdd);
    EXPECT_EQ(menu.MainMenuChipMode02.parent(), &menu.MainMenuChipMode);
    std::set<std::string> unique(names.begin(), names.end());
    EXPECT_EQ(unique.size(), names.size());
}

TEST(MainMenu, StartsInTheInitialStates) {
    MainMenu menu;
    EXPECT_FALSE(menu.MainMenuChipDump.enabled());
    EXPECT_FALSE(menu.MainMenuChipDump.visible());
    EXPECT_TRUE(menu.MainMenuChipLoadRamFinal.checked());
    EXPECT_FALSE(menu.MainMenuChipLoadRamFinal.visible());
    EXPECT_TRUE(menu.MainMenuChipLoadFuseFunal.checked());
    EXPECT_FALSE(menu.MainMenuUpdate.enabled());
    EXPECT_FALSE(menu.MainMenuUpdatePog.enabled());
    EXPECT_FALSE(menu.MainMenuUpdateCbin.enabled());
    EXPECT_FALSE(menu.MainMenuProgVpr.enabled());
    EXPECT_FALSE(menu.MainMenuProgMUX.enabled());
    EXPECT_TRUE(menu.MainMenuProgVdd.enabled());
    EXPECT_FALSE(menu.MainMenuProgCheckRam.visible());
    EXPECT_FALSE(menu.MainMenuProgShow.visible());
    EXPECT_FALSE(menu.MainMenuChipMode01.checked());
    EXPECT_FALSE(menu.MainMenuChipMode02.checked());
    EXPECT_EQ(menu.MainMenuChipModeNew.hint(), "Новая микросхема");
    EXPECT_EQ(menu.MainMenuChipLoadFuse.shortcut(), "Ctrl+F4");
    EXPECT_EQ(menu.MainMenuProgShow.shortcut(), "Ctrl+F12");
}

TEST(MainMenu, ChannelItemsComeInChannelOrder) {
    MainMenu menu;
    const auto channels = menu.channels();
    for (int channel = 0; channel < 8; ++channel) {
        EXPECT_EQ(channels[channel]->caption(), "Канал " + std::to_string(channel));
    }
}

TEST(Shortcuts, ReachAHiddenItemAfterItsParentsOutermostFirst) {
    MainMenu menu;
    Clicks clicks;
    clicks.watch(menu.MainMenuProg);
    clicks.watch(menu.MainMenuProgShow);
    ASSERT_FALSE(menu.MainMenuProgShow.visible());
    EXPECT_TRUE(menu.pressShortcut("Ctrl+F12"));
    EXPECT_EQ(clicks.order, (std::vector<std::string>{"MainMenuProg", "MainMenuProgShow"}));
}

TEST(Shortcuts, NestedItemRunsEveryParentWithAnAction) {
    MainMenu menu;
    Clicks clicks;
    clicks.watch(menu.MainMenuProg);
    clicks.watch(menu.MainMenuProgVdd);
    clicks.watch(menu.MainMenuProgVpr);
    menu.MainMenuProgVpr.setEnabled(true);
    menu.MainMenuProgVpr.setShortcut("F9");
    EXPECT_TRUE(menu.pressShortcut("F9"));
    EXPECT_EQ(clicks.order,
              (std::vector<std::string>{"MainMenuProg", "MainMenuProgVdd", "MainMenuProgVpr"}));
}

TEST(Shortcuts, DoNothingForADisabledItemOrParent) {
    MainMenu menu;
    Clicks clicks;
    clicks.watch(menu.MainMenuChipDump);
    EXPECT_FALSE(menu.pressShortcut("F3"));  // disabled at start
    menu.MainMenuChipDump.setEnabled(true);
    menu.MainMenuChip.setEnabled(false);
    EXPECT_FALSE(menu.pressShortcut("F3"));  // its parent is disabled
    menu.MainMenuChip.setEnabled(true);
    EXPECT_TRUE(menu.pressShortcut("F3"));
    EXPECT_EQ(clicks.order, std::vector<std::string>{"MainMenuChipDump"});
    EXPECT_FALSE(menu.pressShortcut("F11"));
    EXPECT_FALSE(menu.pressShortcut(""));
}

TEST(MenuItem, AnnouncesOnlyRealChanges) {
    MenuItem item("X", "x");
    int changes = 0;
    const Connection counting = item.changed.connect([&](const MenuItem&) { ++changes; });
    item.setChecked(false);
    item.setEnabled(true);
    EXPECT_EQ(changes, 0);
    item.setChecked(true);
    item.setVisible(false);
    EXPECT_EQ(changes, 2);
}
