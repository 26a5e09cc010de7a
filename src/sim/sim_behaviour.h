#pragma once

#include <optional>
#include <string>
#include <vector>

// How the simulated programmer behaves, chosen by name.
enum class SimBehaviour {
    Normal,    // bootloader and application as the real device
    BootOnly,  // the application never starts
    Silent,    // never answers
    BadRam,    // RAM reads back 0x00 everywhere
    Flaky,     // drops a reply byte now and then
    Unplug,    // normal, but its cable comes out once, in the middle of a long operation
};

std::optional<SimBehaviour> parseSimBehaviour(const std::string& name);
// A comma-separated list of behaviours, one simulated programmer each; nothing
// when any item is unknown or empty.
std::optional<std::vector<SimBehaviour>> parseSimBehaviours(const std::string& text);
std::string simBehaviourNames();  // "normal, boot-only, ..." for messages
