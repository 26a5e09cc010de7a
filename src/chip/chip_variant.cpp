#include "chip/chip_variant.h"

std::optional<ChipVariant> variantOfItem(const MainMenu& menu, const MenuItem& item) {
    if (&item == &menu.MainMenuChipMode01) return ChipVariant{"01", kVariant01Bits};
    if (&item == &menu.MainMenuChipMode02) return ChipVariant{"02", kVariant02Bits};
    return std::nullopt;
}

std::optional<ChipVariant> selectedVariant(const MainMenu& menu) {
    if (menu.MainMenuChipMode01.checked()) return variantOfItem(menu, menu.MainMenuChipMode01);
    if (menu.MainMenuChipMode02.checked()) return variantOfItem(menu, menu.MainMenuChipMode02);
    return std::nullopt;
}
