#pragma once

#include <functional>
#include <memory>

#include "startup/front_end.h"
#include "cli/arguments.h"
#include "cli/interruptible_port.h"

// The port and the port list of a run, built as every front end builds them,
// and on top the operator's Ctrl+C. Only --port names narrow the list to
// exactly those names.
class CliPorts {
  public:
    CliPorts(SerialPort& systemPort, PortEnumerator& systemPorts, const CliArguments& arguments,
             bool modelWireTime, std::function<bool()> interrupted,
             SimClock& simulatorClock = wallClock());

    SerialPort& port() { return interruptible_; }
    PortEnumerator& ports() { return ports_.ports(); }
    SimulatedProgrammer& device(std::size_t i = 0) { return ports_.device(i); }
    SimulatedBench& simulators() { return ports_.bench(); }

  private:
    FrontEndPorts ports_;
    InterruptiblePort interruptible_;
};
