#include "sim/sim_behaviour.h"

#include <array>
#include <utility>

namespace {

const std::array<std::pair<const char*, SimBehaviour>, 6> kNames{{
    {"normal", SimBehaviour::Normal},
    {"boot-only", SimBehaviour::BootOnly},
    {"silent", SimBehaviour::Silent},
    {"bad-ram", SimBehaviour::BadRam},
    {"flaky", SimBehaviour::Flaky},
    {"unplug", SimBehaviour::Unplug},
}};

}  // namespace

std::optional<SimBehaviour> parseSimBehaviour(const std::string& name) {
    for (const auto& [text, behaviour] : kNames) {
        if (name == text) return behaviour;
    }
    return std::nullopt;
}

std::string simBehaviourNames() {
    std::string names;
    for (const auto& entry : kNames) {
        if (!names.empty()) names += ", ";
        names += entry.first;
    }
    return names;
}
