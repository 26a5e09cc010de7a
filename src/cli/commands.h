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
};

// Runs the command through the session, shows its summary and returns the
// exit status.
int runCommand(const CliArguments& arguments, CliRun run);
