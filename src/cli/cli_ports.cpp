#include "cli/cli_ports.h"

namespace {

std::optional<std::string> listInstead(const CliArguments& arguments) {
    if (arguments.ports.empty()) return arguments.environmentPorts;
    std::string names;
    for (const std::string& name : arguments.ports) names += (names.empty() ? "" : ",") + name;
    return names;
}

}  // namespace

CliPorts::CliPorts(SerialPort& systemPort, PortEnumerator& systemPorts,
                   const CliArguments& arguments, bool modelWireTime,
                   std::function<bool()> interrupted, SimClock& simulatorClock)
    : ports_(systemPort, systemPorts,
             {arguments.simulators, listInstead(arguments),
              !arguments.simulators.empty() && arguments.ports.empty(), arguments.traceFile},
             modelWireTime, simulatorClock),
      interruptible_(ports_.port(), std::move(interrupted)) {}
