#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "window/main_menu.h"

enum class ChipOperationKind { Program, Burn };

// One of the two chip variants of the family; the choice lives only in the
// check marks of the "Тип" items.
struct ChipVariant {
    std::string_view code;  // "01" or "02"
    std::uint32_t bits;

    // (bits + 7) div 8: 3840 for both variants.
    std::size_t imageBytes() const { return (bits + 7) / 8; }
    // The argument of the idlemode command.
    std::string idleArgument() const { return std::string(code) + "R"; }
    // The argument of the progmode command: "R" programs, "F" burns.
    std::string progArgument(ChipOperationKind kind) const {
        return std::string(code) + (kind == ChipOperationKind::Program ? "R" : "F");
    }
};

inline constexpr std::uint32_t kVariant01Bits = 30717;
inline constexpr std::uint32_t kVariant02Bits = 30718;

// The variant of a variant item, nothing for any other item.
std::optional<ChipVariant> variantOfItem(const MainMenu& menu, const MenuItem& item);

// The marked variant: "01" wins over "02" should both ever be marked.
std::optional<ChipVariant> selectedVariant(const MainMenu& menu);
