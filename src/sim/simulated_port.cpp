#include "sim/simulated_port.h"

#include "base/errors.h"

SimulatedPort::SimulatedPort(SimulatedProgrammer& device, bool modelWireTime)
    : device_(device), modelWireTime_(modelWireTime) {}

void SimulatedPort::open(const std::string&) { throw PortError("Unable to open com port", 2); }
