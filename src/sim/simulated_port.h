#pragma once

#include "link/serial_port.h"
#include "sim/simulated_programmer.h"

// The serial port that the simulated programmer hangs on. Being written.
class SimulatedPort : public SerialPort {
public:
    SimulatedPort(SimulatedProgrammer& device, bool modelWireTime);

    void open(const std::string& name) override;
    void close() override {}
    bool isOpen() const override { return false; }
    void purge() override {}
    void setReadTimeouts(const ReadTimeouts&) override {}
    std::size_t write(const Bytes&) override { return 0; }
    void wait(std::uint32_t) override {}
    Bytes read(std::size_t) override { return {}; }
    void setDtr(bool) override {}

private:
    SimulatedProgrammer& device_;
    bool modelWireTime_;
};
