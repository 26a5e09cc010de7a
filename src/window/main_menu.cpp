#include "window/main_menu.h"

namespace {

void collect(MenuItem& item, std::vector<MenuItem*>& out) {
    out.push_back(&item);
    for (MenuItem* child : item.children()) collect(*child, out);
}

bool reachable(const MenuItem& item) {
    for (const MenuItem* at = &item; at != nullptr; at = at->parent()) {
        if (!at->enabled()) return false;
    }
    return true;
}

}  // namespace

MainMenu::MainMenu() {
    for (MenuItem* item : {&MainMenuChipModeNew, &MainMenuChipMode01, &MainMenuChipMode02}) {
        item->setHint(item->caption());
    }

    MainMenuChip.add(MainMenuChipModeNew);
    MainMenuChip.add(MainMenuChipMode);
    MainMenuChipMode.add(MainMenuChipMode01);
    MainMenuChipMode.add(MainMenuChipMode02);
    MainMenuChip.add(MainMenuChipLoadFile);
    MainMenuChip.add(MainMenuChipBr0);
    MainMenuChip.add(MainMenuChipDump);
    MainMenuChip.add(MainMenuChipLoadRamFinal);
    MainMenuChip.add(MainMenuChipLoadFuseFunal);
    MainMenuChip.add(MainMenuChipBr1);
    MainMenuChip.add(MainMenuChipLoadRam);
    MainMenuChip.add(MainMenuChipBr2);
    MainMenuChip.add(MainMenuChipLoadFuse);
    MainMenuChipDump.setEnabled(false);
    MainMenuChipDump.setVisible(false);
    MainMenuChipLoadRamFinal.setChecked(true);
    MainMenuChipLoadRamFinal.setVisible(false);
    MainMenuChipLoadFuseFunal.setChecked(true);
    MainMenuChipLoadFuseFunal.setVisible(false);

    MainMenuUpdate.add(MainMenuUpdatePog);
    MainMenuUpdate.add(MainMenuUpdateCbin);
    MainMenuUpdate.setEnabled(false);
    MainMenuUpdatePog.setEnabled(false);
    MainMenuUpdateCbin.setEnabled(false);

    MainMenuProg.add(MainMenuProgFind);
    MainMenuProg.add(MainMenuProgVdd);
    MainMenuProgVdd.add(MainMenuProgVdd3);
    MainMenuProgVdd.add(MainMenuProgVdd5);
    MainMenuProgVdd.add(MainMenuProgVddU);
    MainMenuProgVdd.add(MainMenuProgVpr);
    MainMenuProgVpr.setEnabled(false);
    MainMenuProg.add(MainMenuProgMUX);
    MainMenuProgMUX.setEnabled(false);
    for (MenuItem* channel : channels()) MainMenuProgMUX.add(*channel);
    MainMenuProg.add(MainMenuProgBr0);
    MainMenuProg.add(MainMenuProgCheckRam);
    MainMenuProg.add(MainMenuProgCheckPorts);
    MainMenuProg.add(MainMenuProgShow);
    MainMenuProgCheckRam.setVisible(false);
    MainMenuProgCheckPorts.setVisible(false);
    MainMenuProgShow.setVisible(false);

    MainMenuHelp.add(MainMenuHelpAbout);
    MainMenuHelp.add(MainMenuHelpLoadCbin);
}

std::array<MenuItem*, 8> MainMenu::channels() {
    return {&MainMenuProgMUX000, &MainMenuProgMUX001, &MainMenuProgMUX010, &MainMenuProgMUX011,
            &MainMenuProgMUX100, &MainMenuProgMUX101, &MainMenuProgMUX110, &MainMenuProgMUX111};
}

std::vector<MenuItem*> MainMenu::topLevel() {
    return {&MainMenuChip, &MainMenuUpdate, &MainMenuProg, &MainMenuHelp};
}

std::vector<MenuItem*> MainMenu::all() {
    std::vector<MenuItem*> out;
    for (MenuItem* top : topLevel()) collect(*top, out);
    return out;
}

bool MainMenu::pressShortcut(const std::string& shortcut) {
    if (shortcut.empty()) return false;
    for (MenuItem* item : all()) {
        if (item->shortcut() != shortcut || item->isSeparator()) continue;
        if (!reachable(*item)) return false;
        std::vector<MenuItem*> chain;
        for (MenuItem* at = item; at != nullptr; at = at->parent()) chain.insert(chain.begin(), at);
        for (MenuItem* at : chain) at->click();
        return true;
    }
    return false;
}

