#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

enum class ChipOperationKind { Program, Burn };

// One of the two chip variants of the family.
struct ChipVariant {
    std::string_view code;  // "01" or "02"
    std::uint32_t bits;
    std::string_view name;  // as the log and the menu name it

    // (bits + 7) div 8: 3840 for both variants.
    std::size_t imageBytes() const { return (bits + 7) / 8; }
    // The argument of the idlemode command.
    std::string idleArgument() const { return std::string(code) + "R"; }
    // The argument of the progmode command: "R" programs, "F" burns.
    std::string progArgument(ChipOperationKind kind) const {
        return std::string(code) + (kind == ChipOperationKind::Program ? "R" : "F");
    }
    bool operator==(const ChipVariant& other) const { return code == other.code; }
};

inline constexpr ChipVariant kVariant01{"01", 30717, "9912ЛК047_old"};
inline constexpr ChipVariant kVariant02{"02", 30718, "9912ЛК047"};
