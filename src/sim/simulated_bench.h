#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <vector>

#include "sim/sim_behaviour.h"
#include "sim/sim_clock.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"

// The simulated programmers a front end hangs beside the system's ports. One
// is port "SIM"; several are "SIM1", "SIM2", … in the order given. Each has a
// state of its own and a serial number of its own, from 00012345 on.
class SimulatedBench {
  public:
    static constexpr const char* kPortName = "SIM";

    SimulatedBench(const std::vector<SimBehaviour>& behaviours, bool modelWireTime,
                   SimClock& clock);
    SimulatedBench(const SimulatedBench&) = delete;
    SimulatedBench& operator=(const SimulatedBench&) = delete;

    std::size_t size() const { return stations_.size(); }
    const std::string& name(std::size_t i) const { return stations_.at(i).name; }
    SimulatedProgrammer& device(std::size_t i) { return *stations_.at(i).device; }
    SimulatedPort& port(std::size_t i) { return *stations_.at(i).port; }

  private:
    struct Station {
        std::string name;
        std::unique_ptr<SimulatedProgrammer> device;
        std::unique_ptr<SimulatedPort> port;
    };
    std::vector<Station> stations_;
};
