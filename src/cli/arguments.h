#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "startup/front_end.h"
#include "sim/sim_behaviour.h"

enum class CliCommand { Find, Load, Program, Burn, SelfTest, Flash };

// One run of the command-line front end, as its words and the environment ask.
struct CliArguments {
    CliCommand command = CliCommand::Find;
    std::string file;            // the data file, or the firmware file of flash
    std::optional<int> variant;  // 1 or 2; none: the one the window selects at start
    bool repeat = false;
    bool yes = false;
    std::vector<std::string> ports;  // --port names; none: the window's list
    // TELVARN_PORTS, used only without --port.
    std::optional<std::string> environmentPorts;
    std::vector<SimBehaviour> simulators;  // none: no simulator
    std::optional<std::string> logFile;
    std::optional<std::string> traceFile;
    std::optional<std::string> journalFile;
    bool json = false;
    // Every programmer found among the ports at once, each on its own thread.
    bool gang = false;
};

// The words after the program's name: arguments to run, a request for the
// help, or the reason they are refused.
struct ParsedCommandLine {
    std::optional<CliArguments> arguments;
    bool help = false;
    std::string error;
};
ParsedCommandLine parseCommandLine(const std::vector<std::string>& words);

// The window's environment variables stand in for the options not given, as
// in the window. Returns the reason they are refused, empty when they are not.
std::string applyEnvironment(CliArguments& arguments, const EnvironmentLookup& lookup);

std::string cliUsage();
const char* commandName(CliCommand command);
