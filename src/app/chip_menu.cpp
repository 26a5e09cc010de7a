#include "app/chip_menu.h"

namespace {

constexpr const char* kDataFileFilters = "Все файлы|*.*|*.txt|*.txt";

}  // namespace

ChipMenu::ChipMenu(MainMenu& menu, ProgrammerSession& session, Dialogs& dialogs,
                   std::string programDirectory, const ClickGuard& guard)
    : menu_(menu),
      session_(session),
      dialogs_(dialogs),
      programDirectory_(std::move(programDirectory)) {
    bind(guard);
}

void ChipMenu::bind(const ClickGuard& guard) {
    MainMenu& m = menu_;
    bindClick(m.MainMenuChipModeNew, guard, [this] { session_.newChip(); });
    bindClick(m.MainMenuChipMode01, guard, [this] { SelectChipVariant(kVariant01); });
    bindClick(m.MainMenuChipMode02, guard, [this] { SelectChipVariant(kVariant02); });
    bindClick(m.MainMenuChipLoadFile, guard, [this] { loadFile(); });
    bindClick(m.MainMenuChipLoadRam, guard, [this] { session_.program(); });
    bindClick(m.MainMenuChipLoadFuse, guard, [this] { burn(); });
    bindClick(m.MainMenuChipDump, guard, [this] { session_.dump(); });
    bindClick(m.MainMenuChipLoadRamFinal, guard,
              [this] { toggleOption(session_.options.programFinalStep); });
    bindClick(m.MainMenuChipLoadFuseFunal, guard,
              [this] { toggleOption(session_.options.burnFinalStep); });
}

void ChipMenu::SelectChipVariant(const ChipVariant& variant) {
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
    // A burn cannot be undone: Enter answers No.
    if (!dialogs_.confirm("Вы уверены?", "Прожиг микросхемы :", Dialogs::Default::No)) {
        session_.report().line("Прожиг микросхемы отменен");
        return;
    }
    session_.burn();
}
