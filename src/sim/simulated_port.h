#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>

#include "link/serial_port.h"
#include "sim/simulated_programmer.h"
#include "sim/wire_timing.h"

// The serial port the simulated programmer hangs on. Without wire time every
// operation is instant; with it, writes take the wire time of their bytes at
// 115200 baud and reply bytes become readable as they would arrive on the line,
// the bounded wait ending as soon as one is readable and reads honouring the
// read time-outs as a real port does. Any name opens; a closed port raises the
// errors a closed real port raises.
class SimulatedPort : public SerialPort {
  public:
    SimulatedPort(SimulatedProgrammer& device, bool modelWireTime);

    void open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void purge() override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override;
    std::size_t write(const Bytes& bytes) override;
    void wait(std::uint32_t ms) override;
    Bytes read(std::size_t n) override;
    void setDtr(bool on) override;

    bool modelsWireTime() const { return modelWireTime_; }
    const std::string& name() const { return name_; }
    const ReadTimeouts& readTimeouts() const { return timeouts_; }
    // Bytes that crossed the line since construction, each way.
    std::size_t bytesWritten() const { return bytesWritten_; }
    std::size_t bytesRead() const { return bytesRead_; }

  private:
    void requireOpen(const char* text) const;
    // Queues the device's transmissions on the line from `sent` on.
    void schedule(const std::vector<SimTransmission>& transmissions, WireClock::time_point sent);

    struct Arriving {
        std::uint8_t byte;
        WireClock::time_point at;
    };

    SimulatedProgrammer& device_;
    bool modelWireTime_;
    bool open_ = false;
    std::string name_;
    ReadTimeouts timeouts_;
    std::deque<Arriving> incoming_;
    WireClock::time_point deviceLineFree_{};
    std::size_t bytesWritten_ = 0;
    std::size_t bytesRead_ = 0;
};
