#pragma once

#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/arguments.h"

// From the words after the program's name to an exit status: the help, or
// the usage with the reason for bad arguments (exit 2) before anything is
// built, else what run returns for the arguments.
int runCommandLine(const std::vector<std::string>& words, const EnvironmentLookup& environment,
                   std::ostream& out, std::ostream& err,
                   const std::function<int(const CliArguments&)>& run);
