#include "app/chip_menu.h"

#include <gtest/gtest.h>

#include "base/errors.h"
#include "menu_rig.h"

namespace {

// The chip menu's marks and dispatch, on a programmer that answers "OK" to
// everything, or "NO" when told to refuse.
struct ChipMenuView : ::testing::Test, MenuViewRig<ScriptedLink> {
    bool refusing = false;

    ChipMenuView() {
        port.responder = [this](const Bytes&) { return bytesOf(refusing ? "NO" : "OK"); };
        link.open();
    }
};

TEST_F(ChipMenuView, VariantItemsKeepOneMarkWhateverTheProgrammerSays) {
    click(menu.MainMenuChipMode01);
    EXPECT_TRUE(menu.MainMenuChipMode01.checked());
    refusing = true;
    click(menu.MainMenuChipMode02);
    EXPECT_TRUE(menu.MainMenuChipMode02.checked());
    EXPECT_FALSE(menu.MainMenuChipMode01.checked());
    port.failing = {"purge"};
    EXPECT_THROW(click(menu.MainMenuChipMode01), PortError);
    EXPECT_TRUE(menu.MainMenuChipMode01.checked());
    EXPECT_FALSE(menu.MainMenuChipMode02.checked());
}

TEST_F(ChipMenuView, OptionItemsToggleTheSessionsOptionsAndSendNothing) {
    click(menu.MainMenuChipMode);
    click(menu.MainMenuChipLoadRamFinal);
    click(menu.MainMenuChipLoadFuseFunal);
    click(menu.MainMenuChipLoadFuseFunal);
    EXPECT_EQ(session.options, (ChipOptions{false, true}));
    EXPECT_FALSE(menu.MainMenuChipLoadRamFinal.checked());
    EXPECT_TRUE(menu.MainMenuChipLoadFuseFunal.checked());
    EXPECT_TRUE(port.written.empty());
    EXPECT_TRUE(log.lines().empty());
}

TEST_F(ChipMenuView, BurnAsksFirstAndACancelledDialogChangesNothing) {
    click(menu.MainMenuChipMode02);
    port.written.clear();
    log.clear();
    dialogs.answerYes = false;
    session.buffer()[5] = 0x12;
    click(menu.MainMenuChipLoadFuse);
    click(menu.MainMenuChipLoadFile);  // no file chosen
    EXPECT_EQ(dialogs.questions.at(0),
              (std::pair<std::string, std::string>{"Вы уверены?", "Прожиг микросхемы :"}));
    EXPECT_EQ(dialogs.defaults.at(0), Dialogs::Default::No);  // a reflexive Enter burns nothing
    EXPECT_EQ(dialogs.lastInitialFolder, "/opt/telvarn");
    EXPECT_EQ(dialogs.lastFilters, "Все файлы|*.*|*.txt|*.txt");
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Прожиг микросхемы отменен"});
    EXPECT_TRUE(port.written.empty());
    EXPECT_EQ(session.buffer()[5], 0x12);

    dialogs.answerYes = true;
    click(menu.MainMenuChipLoadFuse);
    EXPECT_EQ(framesBeginningWith(port.written, "ramwrite").size(), 4u);
}

}  // namespace
