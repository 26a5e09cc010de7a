#include "startup/front_end.h"

#include <cstdlib>

#include "startup/update_server.h"

std::optional<std::string> processEnvironment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

FrontEndEnvironment readFrontEndEnvironment(const EnvironmentLookup& lookup, std::string& error) {
    const auto nonEmpty = [&](const char* name) -> std::optional<std::string> {
        auto value = lookup(name);
        if (value && value->empty()) return std::nullopt;
        return value;
    };
    FrontEndEnvironment environment;
    error.clear();
    if (const auto name = nonEmpty("TELVARN_SIMULATOR")) {
        environment.simulator = parseSimBehaviour(*name);
        if (!environment.simulator) {
            error = "TELVARN_SIMULATOR=" + *name +
                    " is not a known behaviour; use one of: " + simBehaviourNames();
        }
    }
    environment.ports = lookup("TELVARN_PORTS");
    environment.logFile = nonEmpty("TELVARN_LOG");
    environment.traceFile = nonEmpty("TELVARN_TRACE");
    environment.updateServer = lookup(kUpdateServerVariable);
    return environment;
}

FrontEndPorts::FrontEndPorts(SerialPort& systemPort, PortEnumerator& systemPorts,
                             const Choice& choice, bool modelWireTime, SimClock& simulatorClock)
    : device_(choice.simulator.value_or(SimBehaviour::Normal)),
      simulated_(device_, modelWireTime, simulatorClock),
      routed_(systemPort, simulated_, kSimulatedPortName),
      listed_(systemPorts, choice.listInstead,
              choice.listSimulator ? std::optional<std::string>(kSimulatedPortName)
                                   : std::nullopt,
              [this] { return simulated_.devicePresent(); }),
      traced_(choice.traceFile ? std::make_unique<TracedPort>(routed_, *choice.traceFile)
                               : nullptr) {}

FrontEndPorts::Choice portChoice(const FrontEndEnvironment& environment) {
    return {environment.simulator, environment.ports, environment.simulator.has_value(),
            environment.traceFile};
}

std::unique_ptr<LogMirror> mirrorLog(Log& log, const std::optional<std::string>& path) {
    if (!path) return nullptr;
    return std::make_unique<LogMirror>(log, *path);
}
