#pragma once

#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "startup/log_mirror.h"
#include "link/routed_port.h"
#include "link/traced_port.h"
#include "sim/sim_behaviour.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"

// What the TELVARN_* variables ask of every front end: the window, the command
// line and the HTTP check, on every system.
struct FrontEndEnvironment {
    std::optional<SimBehaviour> simulator;    // TELVARN_SIMULATOR
    // TELVARN_PORTS: set, even empty, it replaces the system's port list.
    std::optional<std::string> ports;
    std::optional<std::string> logFile;       // TELVARN_LOG
    std::optional<std::string> traceFile;     // TELVARN_TRACE
    std::optional<std::string> updateServer;  // TELVARN_UPDATE_SERVER
};

using EnvironmentLookup = std::function<std::optional<std::string>(const char* name)>;
// The process's own environment.
std::optional<std::string> processEnvironment(const char* name);

// Reads the variables; an empty value counts as none but for TELVARN_PORTS.
// error tells why they are refused (an unknown simulator), empty when not.
FrontEndEnvironment readFrontEndEnvironment(const EnvironmentLookup& lookup, std::string& error);

// The programmer's side of a front end: the simulated programmer as port "SIM"
// beside the system's ports, the port list, and the trace of every frame.
class FrontEndPorts {
  public:
    static constexpr const char* kSimulatedPortName = "SIM";

    struct Choice {
        std::optional<SimBehaviour> simulator;
        // The names to search instead of the system's list.
        std::optional<std::string> listInstead;
        // "SIM" is searched beside the list (only while its device is present).
        bool listSimulator = false;
        std::optional<std::string> traceFile;
    };

    FrontEndPorts(SerialPort& systemPort, PortEnumerator& systemPorts, const Choice& choice,
                  bool modelWireTime, SimClock& simulatorClock = wallClock());
    FrontEndPorts(const FrontEndPorts&) = delete;
    FrontEndPorts& operator=(const FrontEndPorts&) = delete;

    SerialPort& port() { return traced_ ? static_cast<SerialPort&>(*traced_) : routed_; }
    PortEnumerator& ports() { return listed_; }
    SimulatedProgrammer& device() { return device_; }

  private:
    SimulatedProgrammer device_;
    SimulatedPort simulated_;
    RoutedPort routed_;
    ListedPorts listed_;
    std::unique_ptr<TracedPort> traced_;
};

// The window's and the command line's choice: SIM listed whenever a simulator runs.
FrontEndPorts::Choice portChoice(const FrontEndEnvironment& environment);

// Mirrors the log into the file when one is asked for.
std::unique_ptr<LogMirror> mirrorLog(Log& log, const std::optional<std::string>& path);
