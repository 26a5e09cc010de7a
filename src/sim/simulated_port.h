#pragma once

#include <chrono>
#include <cstddef>
#include <cstdint>
#include <deque>
#include <optional>

#include "link/serial_port.h"
#include "sim/sim_clock.h"
#include "sim/simulated_programmer.h"
#include "sim/wire_timing.h"

// The serial port the simulated programmer hangs on. Without wire time every
// operation is instant; with it, writes take the wire time of their bytes at
// 115200 baud and reply bytes become readable as they would arrive on the line,
// the bounded wait ending as soon as one is readable and reads honouring the
// read time-outs as a real port does. Any name opens; a closed port raises the
// errors a closed real port raises.
//
// When the device's cable comes out during a frame, the write fails halfway
// through it and the port closes, as the program's own port does once its
// device has gone. The device stays away for 3 s on the clock, refusing every
// open meanwhile, and then comes back freshly powered.
class SimulatedPort : public SerialPort {
  public:
    SimulatedPort(SimulatedProgrammer& device, bool modelWireTime, SimClock& clock = wallClock());

    void open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void purge() override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override;
    std::size_t write(const Bytes& bytes) override;
    void wait(std::uint32_t ms) override;
    Bytes read(std::size_t n) override;
    void setDtr(bool on) override;

    // Whether the device hangs on the line now; plugs it back in once its time
    // away is over.
    bool devicePresent();

    bool modelsWireTime() const { return modelWireTime_; }
    const std::string& name() const { return name_; }
    const ReadTimeouts& readTimeouts() const { return timeouts_; }
    // Bytes that crossed the line since construction, each way.
    std::size_t bytesWritten() const { return bytesWritten_; }
    std::size_t bytesRead() const { return bytesRead_; }

  private:
    void requireOpen(const char* text) const;
    // Fails the write that the cable pull cut short, at the moment of the pull.
    [[noreturn]] void loseDevice(WireClock::time_point start, std::size_t frameSize,
                                 const char* failed);
    // Queues the device's transmissions on the line from `sent` on.
    void schedule(const std::vector<SimTransmission>& transmissions, WireClock::time_point sent);

    struct Arriving {
        std::uint8_t byte;
        WireClock::time_point at;
    };

    SimulatedProgrammer& device_;
    bool modelWireTime_;
    SimClock& clock_;
    bool open_ = false;
    std::optional<WireClock::time_point> pluggedBackAt_;
    std::string name_;
    ReadTimeouts timeouts_;
    std::deque<Arriving> incoming_;
    WireClock::time_point deviceLineFree_{};
    std::size_t bytesWritten_ = 0;
    std::size_t bytesRead_ = 0;
};
