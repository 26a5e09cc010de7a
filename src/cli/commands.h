#pragma once

#include <functional>
#include <istream>

#include "cli/arguments.h"
#include "cli/cli_output.h"
#include "cli/cli_session.h"

// What one run works with besides its arguments.
struct CliRun {
    CliSession& session;
    CliOutput& output;
    std::istream& input;  // the Enters of --repeat
    std::function<bool()> interrupted;
    // --repeat's wait for the next chip: true to program it, false at the
    // end. None: the prompt on standard error and a line of input.
    std::function<bool()> nextChip = nullptr;
    // Told the outcome of every search for the programmer.
    std::function<void(bool found)> searched = nullptr;
};

inline constexpr const char* kNextChipPrompt =
    "Put the next chip in and press Enter (end of input stops)";

struct CommandOutcome {
    int status;
    Summary summary;
};

// Runs the command through the session and returns its exit status and summary.
CommandOutcome performCommand(const CliArguments& arguments, CliRun run);
// As performCommand, then shows the summary.
int runCommand(const CliArguments& arguments, CliRun run);
