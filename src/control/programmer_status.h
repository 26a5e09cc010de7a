#pragma once

#include <optional>
#include <string>

#include "control/supply_commands.h"

// What the programmer's 13-character status reply tells: the multiplexer's
// channel, whether VPR is on and which supply feeds the chip.
struct ProgrammerStatus {
    std::optional<int> channel;     // nothing when the code is no channel's
    bool vpr = false;
    std::optional<Supply> supply;   // nothing when none or several are on
};

// Nothing for a reply of another length.
std::optional<ProgrammerStatus> parseStatusReply(const std::string& reply);
