#include "sim/sim_behaviour.h"

#include <algorithm>
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

std::optional<std::vector<SimBehaviour>> parseSimBehaviours(const std::string& text) {
    std::vector<SimBehaviour> behaviours;
    std::size_t from = 0;
    while (true) {
        const std::size_t comma = std::min(text.find(',', from), text.size());
        const auto behaviour = parseSimBehaviour(text.substr(from, comma - from));
        if (!behaviour) return std::nullopt;
        behaviours.push_back(*behaviour);
        if (comma == text.size()) return behaviours;
        from = comma + 1;
    }
}

std::string simBehaviourNames() {
    std::string names;
    for (const auto& entry : kNames) {
        if (!names.empty()) names += ", ";
        names += entry.first;
    }
    return names;
}
