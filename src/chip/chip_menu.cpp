#include "chip/chip_menu.h"

ChipMenu::ChipMenu(ChipMenuContext context) : c_(std::move(context)) {}

void ChipMenu::MainMenuChipClick(MenuItem&) {}

void ChipMenu::SelectChipVariant(MenuItem&) {}
