#pragma once

#include <memory>
#include <optional>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli_output.h"
#include "cli/cli_ports.h"
#include "cli/cli_session.h"
#include "cli/command_line.h"
#include "cli/commands.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/stepped_clock.h"

// The command-line front end as its main builds it, on the window tests'
// fakes: the system's ports are a FakeSerialPort and a FakePortEnumerator
// (never the machine's), the simulated programmer has no wire time and the
// pump is manual. Output goes to strings, as if not to a terminal.
struct CliRig {
    FakeSerialPort systemPort;
    FakePortEnumerator systemPorts;
    ManualPump pump;
    // The simulator's time: it moves only when a test moves it.
    SteppedClock clock;
    std::istringstream input;
    std::ostringstream out;
    std::ostringstream err;
    std::vector<std::pair<std::string, std::string>> environment;
    // The operator's Ctrl+C: once set, or once interruptWhen holds at a port
    // operation, the run counts as interrupted.
    bool interrupted = false;
    std::function<bool(const CliSession&)> interruptWhen;

    // Set for the last run that got past its arguments; the output outlives
    // the session whose signals it follows.
    std::unique_ptr<CliPorts> ports;
    std::unique_ptr<CliOutput> output;
    std::unique_ptr<CliSession> session;
    bool built = false;

    int run(const std::vector<std::string>& words) {
        const auto lookup = [this](const char* name) -> std::optional<std::string> {
            for (const auto& [key, value] : environment) {
                if (key == name) return value;
            }
            return std::nullopt;
        };
        return runCommandLine(words, lookup, out, err, [this](const CliArguments& arguments) {
            built = true;
            const auto stop = [this] {
                if (interruptWhen && session && interruptWhen(*session)) interrupted = true;
                return interrupted;
            };
            ports =
                std::make_unique<CliPorts>(systemPort, systemPorts, arguments, false, stop, clock);
            session = std::make_unique<CliSession>(
                CliSession::Services{ports->port(), ports->ports(), pump}, arguments.logFile);
            output = std::make_unique<CliOutput>(out, err, CliOutput::Terminals{});
            output->follow(session->log, session->status);
            return runCommand(arguments, CliRun{*session, *output, input, stop});
        });
    }

    SimulatedProgrammer& device() { return ports->device(); }

    std::vector<std::string> outLines() const {
        std::vector<std::string> lines;
        std::istringstream text(out.str());
        for (std::string line; std::getline(text, line);) lines.push_back(line);
        return lines;
    }
    // Standard output without its closing summary.
    std::vector<std::string> logLines() const {
        auto lines = outLines();
        if (!lines.empty()) lines.pop_back();
        return lines;
    }
    std::string summary() const {
        const auto lines = outLines();
        return lines.empty() ? std::string() : lines.back();
    }
};
