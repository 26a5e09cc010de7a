#pragma once

#include <chrono>
#include <cstddef>
#include <cstdio>
#include <string>

#include "sim/simulated_port.h"
#include "sim/wire_timing.h"

// How long an operation on the simulated line took against the time its bytes
// need on the wire at 115200 baud: what the program adds on top of the line.
struct WireFigures {
    double wallSeconds = 0;
    double wireSeconds = 0;
    std::size_t bytes = 0;  // both ways

    double ratio() const { return wallSeconds / wireSeconds; }
};

// Runs the operation and sets its wall time against the wire time of the bytes
// it moved through the port in both directions.
template <class Operation>
WireFigures timeOnWire(const SimulatedPort& port, Operation&& operation) {
    const std::size_t before = port.bytesWritten() + port.bytesRead();
    const auto start = std::chrono::steady_clock::now();
    operation();
    WireFigures figures;
    figures.wallSeconds =
        std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    figures.bytes = port.bytesWritten() + port.bytesRead() - before;
    figures.wireSeconds = std::chrono::duration<double>(wireTime(figures.bytes)).count();
    return figures;
}

// One line: what was measured, wall and wire time, their ratio and a note.
inline void printWireFigures(const std::string& what, const WireFigures& figures,
                             const std::string& note = "") {
    std::printf("%-36s wall %8.3f s  wire %8.3f s  ratio %.4f  %s\n", what.c_str(),
                figures.wallSeconds, figures.wireSeconds, figures.ratio(), note.c_str());
}
