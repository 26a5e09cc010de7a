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
        if (const auto simulators = parseSimBehaviours(*name)) {
            environment.simulators = *simulators;
        } else {
            error = "TELVARN_SIMULATOR=" + *name +
                    " is not a known behaviour; use one of: " + simBehaviourNames();
        }
    }
    environment.ports = lookup("TELVARN_PORTS");
    environment.logFile = nonEmpty("TELVARN_LOG");
    environment.traceFile = nonEmpty("TELVARN_TRACE");
    environment.updateServer = lookup(kUpdateServerVariable);
    environment.journalFile = nonEmpty("TELVARN_JOURNAL");
    return environment;
}

namespace {

std::vector<SimBehaviour> orOneNormal(const std::vector<SimBehaviour>& simulators) {
    return simulators.empty() ? std::vector<SimBehaviour>{SimBehaviour::Normal} : simulators;
}

std::vector<RoutedPort::Special> routesOf(SimulatedBench& bench) {
    std::vector<RoutedPort::Special> routes;
    for (std::size_t i = 0; i < bench.size(); ++i) routes.push_back({bench.name(i), &bench.port(i)});
    return routes;
}

std::vector<ListedPorts::Extra> listedOf(SimulatedBench& bench, bool listed) {
    std::vector<ListedPorts::Extra> extras;
    for (std::size_t i = 0; listed && i < bench.size(); ++i) {
        extras.push_back({bench.name(i), [&port = bench.port(i)] { return port.devicePresent(); }});
    }
    return extras;
}

}  // namespace

BenchPorts::BenchPorts(SerialPort& systemPort, PortEnumerator& systemPorts,
                       SimulatedBench& bench, const PortChoice& choice)
    : routed_(systemPort, routesOf(bench)),
      listed_(systemPorts, choice.listInstead, listedOf(bench, choice.listSimulators)),
      traced_(choice.traceFile ? std::make_unique<TracedPort>(routed_, *choice.traceFile)
                               : nullptr) {}

FrontEndPorts::FrontEndPorts(SerialPort& systemPort, PortEnumerator& systemPorts,
                             const Choice& choice, bool modelWireTime, SimClock& simulatorClock)
    : bench_(orOneNormal(choice.simulators), modelWireTime, simulatorClock),
      ports_(systemPort, systemPorts, bench_, choice) {}

FrontEndPorts::Choice portChoice(const FrontEndEnvironment& environment) {
    return {environment.simulators, environment.ports, !environment.simulators.empty(),
            environment.traceFile};
}

std::unique_ptr<LogMirror> mirrorLog(Log& log, const std::optional<std::string>& path,
                                     const std::string& prefix) {
    if (!path) return nullptr;
    return std::make_unique<LogMirror>(log, *path, prefix);
}
