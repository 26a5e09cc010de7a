#pragma once

#include <cstddef>
#include <string>

#include "link/programmer_link.h"
#include "sim/simulated_port.h"
#include "sim/simulated_programmer.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/test_bytes.h"

// A programmer link wired to the simulated programmer on the port "SIM",
// opened, with wire time only when asked for, on the wall clock unless given
// another. Benches that need real pauses bring a pump of their own.
template <class Pump = ManualPump>
struct SimRigWith {
    explicit SimRigWith(SimBehaviour behaviour = SimBehaviour::Normal, bool wireTime = false,
                        SimClock& clock = wallClock())
        : device(behaviour), port(device, wireTime, clock), link(port, ports, pump, beeper) {
        link.setPortName("SIM");
        link.open();
    }

    // Sends a raw frame through the link's exchange with short time-outs.
    bool exchange(const std::string& text, std::size_t n = 2) {
        Bytes reply;
        return link.Exchange(bytesOf(text), 10, 10, n, reply);
    }

    SimulatedProgrammer device;
    SimulatedPort port;
    FakePortEnumerator ports;
    Pump pump;
    FakeBeeper beeper;
    ProgrammerLink link;
};

using SimRig = SimRigWith<>;
