#include "cli/cli_ports.h"

namespace {

const std::string kSimulatedPortName = "SIM";

std::optional<std::string> listInstead(const CliArguments& arguments) {
    if (arguments.ports.empty()) return arguments.environmentPorts;
    std::string names;
    for (const std::string& name : arguments.ports) names += (names.empty() ? "" : ",") + name;
    return names;
}

std::optional<std::string> extraPort(const CliArguments& arguments) {
    if (!arguments.simulator || !arguments.ports.empty()) return std::nullopt;
    return kSimulatedPortName;
}

}  // namespace

CliPorts::CliPorts(SerialPort& systemPort, PortEnumerator& systemPorts,
                   const CliArguments& arguments, bool modelWireTime,
                   std::function<bool()> interrupted, SimClock& simulatorClock)
    : device_(arguments.simulator.value_or(SimBehaviour::Normal)),
      simulated_(device_, modelWireTime, simulatorClock),
      routed_(systemPort, simulated_, kSimulatedPortName),
      listed_(systemPorts, listInstead(arguments), extraPort(arguments),
              [this] { return simulated_.devicePresent(); }),
      traced_(arguments.traceFile ? std::make_unique<TracedPort>(routed_, *arguments.traceFile)
                                  : nullptr),
      interruptible_(traced_ ? static_cast<SerialPort&>(*traced_) : routed_,
                     std::move(interrupted)) {}
