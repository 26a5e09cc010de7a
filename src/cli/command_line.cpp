#include "cli/command_line.h"

#include "cli/exit_status.h"

int runCommandLine(const std::vector<std::string>& words, const EnvironmentLookup& environment,
                   std::ostream& out, std::ostream& err,
                   const std::function<int(const CliArguments&)>& run) {
    ParsedCommandLine parsed = parseCommandLine(words);
    if (parsed.help) {
        out << cliUsage() << std::flush;
        return kExitDone;
    }
    std::string error = parsed.error;
    if (parsed.arguments) error = applyEnvironment(*parsed.arguments, environment);
    if (!error.empty()) {
        err << "telvarn-cli: " << error << '\n' << cliUsage() << std::flush;
        return kExitBadArguments;
    }
    return run(*parsed.arguments);
}
