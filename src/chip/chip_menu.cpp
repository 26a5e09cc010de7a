#include "chip/chip_menu.h"

#include "chip/buffer_dump.h"
#include "chip/buffer_load.h"
#include "chip/chip_operation.h"
#include "chip/chip_variant.h"

namespace {

constexpr const char* kDataFileFilters = "Все файлы|*.*|*.txt|*.txt";

// Without a variant the dump lists as many bytes as 131072 bits make.
constexpr std::uint32_t kDumpBitsWithoutVariant = 131072;

}  // namespace

ChipMenu::ChipMenu(ChipMenuContext context) : c_(std::move(context)) {}

void ChipMenu::MainMenuChipClick(MenuItem& sender) {
    MainMenu& m = c_.menu;
    if (&sender == &m.MainMenuChipModeNew) {
        newChip();
    } else if (&sender == &m.MainMenuChipMode01 || &sender == &m.MainMenuChipMode02) {
        SelectChipVariant(sender);
    } else if (&sender == &m.MainMenuChipLoadFile) {
        loadFile();
    } else if (&sender == &m.MainMenuChipLoadRam) {
        RunChipOperation(ChipOperationKind::Program, c_);
    } else if (&sender == &m.MainMenuChipLoadFuse) {
        RunChipOperation(ChipOperationKind::Burn, c_);
    } else if (&sender == &m.MainMenuChipDump) {
        dump();
    } else if (&sender == &m.MainMenuChipLoadFuseFunal || &sender == &m.MainMenuChipLoadRamFinal) {
        sender.setChecked(!sender.checked());
    }
}

void ChipMenu::newChip() {
    c_.log.append(c_.link.idlemode("00R") ? "Выбрана новая микросхема"
                                          : "Ошибка выбора новой микросхемы");
}

void ChipMenu::SelectChipVariant(MenuItem& item) {
    const auto variant = variantOfItem(c_.menu, item);
    if (!variant) return;
    c_.menu.MainMenuChipMode01.setChecked(false);
    c_.menu.MainMenuChipMode02.setChecked(false);
    // The choice stands whatever the programmer says, even if the exchange
    // raises: the operator sees the outcome in the log or the message box.
    struct MarkOnExit {
        MenuItem& item;
        ~MarkOnExit() { item.setChecked(true); }
    } mark{item};
    const std::string argument = variant->idleArgument();
    if (c_.link.idlemode(argument)) {
        c_.log.append("Выбрана микросхема : " + item.caption());
    } else {
        c_.log.append("Ошибка установки режима IDLEMODE" + argument +
                      " для микросхемы : " + item.caption());
    }
}

void ChipMenu::SelectStartUpVariant() {
    if (!c_.link.isOpen()) return;
    c_.menu.MainMenuChipMode02.setChecked(true);
    SelectChipVariant(c_.menu.MainMenuChipMode02);
}

void ChipMenu::loadFile() {
    const auto path = c_.dialogs.openFile(c_.programDirectory, kDataFileFilters);
    if (!path) return;
    loadDataFileIntoBuffer(*path, c_.buffer, c_.log);
}

void ChipMenu::dump() {
    const auto variant = selectedVariant(c_.menu);
    const std::uint32_t bits = variant ? variant->bits : kDumpBitsWithoutVariant;
    dumpBuffer(c_.buffer, (bits + 7) / 8, c_.log);
}
