#include "sim/simulated_bench.h"

#include <cstdio>

namespace {

constexpr unsigned kFirstSerialNumber = 12345;

std::string serialNumberOf(std::size_t i) {
    char text[16];
    std::snprintf(text, sizeof text, "%08u", kFirstSerialNumber + static_cast<unsigned>(i));
    return text;
}

}  // namespace

SimulatedBench::SimulatedBench(const std::vector<SimBehaviour>& behaviours, bool modelWireTime,
                               SimClock& clock) {
    for (std::size_t i = 0; i < behaviours.size(); ++i) {
        Station station;
        station.name =
            behaviours.size() == 1 ? std::string(kPortName) : kPortName + std::to_string(i + 1);
        station.device = std::make_unique<SimulatedProgrammer>(behaviours[i]);
        station.device->setSerialNumber(serialNumberOf(i));
        station.port = std::make_unique<SimulatedPort>(*station.device, modelWireTime, clock);
        stations_.push_back(std::move(station));
    }
}
