#pragma once

#include "sim/sim_behaviour.h"

// The simulated Telvarn-1 programmer (device model). Being written.
class SimulatedProgrammer {
public:
    explicit SimulatedProgrammer(SimBehaviour behaviour = SimBehaviour::Normal);

private:
    SimBehaviour behaviour_;
};
