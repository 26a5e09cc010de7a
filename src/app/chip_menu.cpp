#include "app/chip_menu.h"

namespace {

constexpr const char* kDataFileFilters = "Все файлы|*.*|*.txt|*.txt";

}  // namespace

ChipMenu::ChipMenu(MainMenu& menu, ProgrammerSession& session, Dialogs& dialogs,
                   std::string programDirectory)
    : menu_(menu),
      session_(session),
      dialogs_(dialogs),
      programDirectory_(std::move(programDirectory)) {}

void ChipMenu::MainMenuChipClick(MenuItem& sender) {
    MainMenu& m = menu_;
    if (&sender == &m.MainMenuChipModeNew) {
        session_.newChip();
    } else if (&sender == &m.MainMenuChipMode01 || &sender == &m.MainMenuChipMode02) {
        SelectChipVariant(sender);
    } else if (&sender == &m.MainMenuChipLoadFile) {
        loadFile();
    } else if (&sender == &m.MainMenuChipLoadRam) {
        session_.program();
    } else if (&sender == &m.MainMenuChipLoadFuse) {
        burn();
    } else if (&sender == &m.MainMenuChipDump) {
        session_.dump();
    } else if (&sender == &m.MainMenuChipLoadRamFinal) {
        toggleOption(session_.options.programFinalStep);
    } else if (&sender == &m.MainMenuChipLoadFuseFunal) {
        toggleOption(session_.options.burnFinalStep);
    }
}

void ChipMenu::SelectChipVariant(MenuItem& item) {
    if (&item != &menu_.MainMenuChipMode01 && &item != &menu_.MainMenuChipMode02) return;
    const ChipVariant& variant = &item == &menu_.MainMenuChipMode01 ? kVariant01 : kVariant02;
    // The operator sees the outcome in the log or the message box; the mark
    // follows the choice even when the exchange raises.
    struct ShowOnExit {
        ChipMenu& menu;
        ~ShowOnExit() { menu.showVariant(); }
    } show{*this};
    session_.selectVariant(variant);
}

void ChipMenu::SelectStartUpVariant() {
    session_.selectStartUpVariant();
    showVariant();
}

void ChipMenu::showVariant() {
    const auto& variant = session_.variant();
    menu_.MainMenuChipMode01.setChecked(variant == kVariant01);
    menu_.MainMenuChipMode02.setChecked(variant == kVariant02);
}

void ChipMenu::showOptions() {
    menu_.MainMenuChipLoadRamFinal.setChecked(session_.options.programFinalStep);
    menu_.MainMenuChipLoadFuseFunal.setChecked(session_.options.burnFinalStep);
}

void ChipMenu::toggleOption(bool& option) {
    option = !option;
    showOptions();
}

void ChipMenu::loadFile() {
    const auto path = dialogs_.openFile(programDirectory_, kDataFileFilters);
    if (!path) return;
    session_.load(*path);
}

void ChipMenu::burn() {
    if (!dialogs_.confirm("Вы уверены?", "Прожиг микросхемы :")) {
        session_.report().line("Прожиг микросхемы отменен");
        return;
    }
    session_.burn();
}
