#include "sim/simulated_programmer.h"

SimulatedProgrammer::SimulatedProgrammer(SimBehaviour behaviour) : behaviour_(behaviour) {}
