#pragma once

#include <functional>
#include <memory>

#include "cli/arguments.h"
#include "cli/interruptible_port.h"
#include "link/routed_port.h"
#include "link/traced_port.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"

// The port and the port list of a run, built as the window builds them from
// its environment: the simulated programmer as port "SIM", the system's ports
// for every other name, the trace when asked for; and on top the operator's
// Ctrl+C. Only --port names narrow the list to exactly those names.
class CliPorts {
  public:
    CliPorts(SerialPort& systemPort, PortEnumerator& systemPorts, const CliArguments& arguments,
             bool modelWireTime, std::function<bool()> interrupted,
             SimClock& simulatorClock = wallClock());

    SerialPort& port() { return interruptible_; }
    PortEnumerator& ports() { return listed_; }
    SimulatedProgrammer& device() { return device_; }

  private:
    SimulatedProgrammer device_;
    SimulatedPort simulated_;
    RoutedPort routed_;
    ListedPorts listed_;
    std::unique_ptr<TracedPort> traced_;
    InterruptiblePort interruptible_;
};
