#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "startup/log_mirror.h"
#include "link/routed_port.h"
#include "link/traced_port.h"
#include "sim/sim_behaviour.h"
#include "sim/simulated_bench.h"

// What the TELVARN_* variables ask of every front end: the window, the command
// line and the HTTP check, on every system.
struct FrontEndEnvironment {
    std::vector<SimBehaviour> simulators;     // TELVARN_SIMULATOR; none: no simulator
    // TELVARN_PORTS: set, even empty, it replaces the system's port list.
    std::optional<std::string> ports;
    std::optional<std::string> logFile;       // TELVARN_LOG
    std::optional<std::string> traceFile;     // TELVARN_TRACE
    std::optional<std::string> updateServer;  // TELVARN_UPDATE_SERVER
    std::optional<std::string> journalFile;   // TELVARN_JOURNAL
};

using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
// The process's own environment.
std::optional<std::string> processEnvironment(const char* name);

// Reads the variables; an empty value counts as none but for TELVARN_PORTS.
// error tells why they are refused (an unknown simulator), empty when not.
FrontEndEnvironment readFrontEndEnvironment(const EnvironmentLookup& lookup, std::string& error);

// Which ports a front end searches and how it watches them.
struct PortChoice {
    // None: one normal simulated programmer, reached only by its name.
    std::vector<SimBehaviour> simulators;
    // The names to search instead of the system's list.
    std::optional<std::string> listInstead;
    // The simulators are searched beside the list, each only while its
    // device is present.
    bool listSimulators = false;
    std::optional<std::string> traceFile;
};

// The port a front end talks through and the list it searches, over the
// simulated programmers of a bench: their names reach them, every other name
// the system's port; the list is the system's or the names chosen instead,
// with the simulators beside it when chosen; every frame is traced when asked.
// Its simulators must not be shared with another thread's BenchPorts unless
// that one opens other names.
class BenchPorts {
  public:
    BenchPorts(SerialPort& systemPort, PortEnumerator& systemPorts, SimulatedBench& bench,
               const PortChoice& choice);
    BenchPorts(const BenchPorts&) = delete;
    BenchPorts& operator=(const BenchPorts&) = delete;

    SerialPort& port() { return traced_ ? static_cast<SerialPort&>(*traced_) : routed_; }
    PortEnumerator& ports() { return listed_; }

  private:
    RoutedPort routed_;
    ListedPorts listed_;
    std::unique_ptr<TracedPort> traced_;
};

// The programmer's side of a front end: the simulated programmers (port "SIM",
// or "SIM1", "SIM2", …) beside the system's ports, the port list, and the
// trace of every frame.
class FrontEndPorts {
  public:
    using Choice = PortChoice;

    FrontEndPorts(SerialPort& systemPort, PortEnumerator& systemPorts, const Choice& choice,
                  bool modelWireTime, SimClock& simulatorClock = wallClock());
    FrontEndPorts(const FrontEndPorts&) = delete;
    FrontEndPorts& operator=(const FrontEndPorts&) = delete;

    SerialPort& port() { return ports_.port(); }
    PortEnumerator& ports() { return ports_.ports(); }
    SimulatedProgrammer& device(std::size_t i = 0) { return bench_.device(i); }
    SimulatedBench& bench() { return bench_; }

  private:
    SimulatedBench bench_;
    BenchPorts ports_;
};

// The window's and the command line's choice: the simulators listed whenever they run.
FrontEndPorts::Choice portChoice(const FrontEndEnvironment& environment);

// Mirrors the log into the file when one is asked for, each line after the prefix.
std::unique_ptr<LogMirror> mirrorLog(Log& log, const std::optional<std::string>& path,
                                     const std::string& prefix = "");
