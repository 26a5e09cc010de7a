#include "ui_win32/win32_shortcut.h"

#include <array>
#include <charconv>

namespace {

struct NamedKey {
    std::string_view name;
    WORD key;
};

constexpr std::array<NamedKey, 14> kNamedKeys{{{"Ins", VK_INSERT},
                                               {"Del", VK_DELETE},
                                               {"Home", VK_HOME},
                                               {"End", VK_END},
                                               {"PgUp", VK_PRIOR},
                                               {"PgDown", VK_NEXT},
                                               {"Esc", VK_ESCAPE},
                                               {"Enter", VK_RETURN},
                                               {"Return", VK_RETURN},
                                               {"Space", VK_SPACE},
                                               {"Tab", VK_TAB},
                                               {"Backspace", VK_BACK},
                                               {"Left", VK_LEFT},
                                               {"Right", VK_RIGHT}}};

std::optional<WORD> virtualKey(std::string_view name) {
    if (name.size() == 1) {
        const char c = name[0];
        if ((c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9')) return static_cast<WORD>(c);
        return std::nullopt;
    }
    if (name.size() >= 2 && name[0] == 'F') {
        int number = 0;
        const char* end = name.data() + name.size();
        const auto [at, error] = std::from_chars(name.data() + 1, end, number);
        if (error == std::errc() && at == end && number >= 1 && number <= 24) {
            return static_cast<WORD>(VK_F1 + number - 1);
        }
        return std::nullopt;
    }
    for (const NamedKey& named : kNamedKeys) {
        if (named.name == name) return named.key;
    }
    return std::nullopt;
}

}  // namespace

std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD command) {
    BYTE flags = FVIRTKEY;
    // The modifiers come first, each ended by '+'; the key is what is left.
    for (;;) {
        const std::size_t plus = shortcut.find('+');
        if (plus == std::string_view::npos || plus + 1 == shortcut.size()) break;
        const std::string_view modifier = shortcut.substr(0, plus);
        if (modifier == "Ctrl") {
            flags |= FCONTROL;
        } else if (modifier == "Shift") {
            flags |= FSHIFT;
        } else if (modifier == "Alt") {
            flags |= FALT;
        } else {
            return std::nullopt;
        }
        shortcut.remove_prefix(plus + 1);
    }
    const std::optional<WORD> key = virtualKey(shortcut);
    if (!key) return std::nullopt;
    return ACCEL{flags, *key, command};
}
