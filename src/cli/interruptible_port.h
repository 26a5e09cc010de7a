#pragma once

#include <functional>

#include "link/serial_port.h"

// Passes every operation to another port until the operator asks for the run
// to end; from then on each operation but close raises a PortError, so that
// the operation under way ends as one whose port has failed: the link's
// exchange lets the error escape at its next purge, and the chip operation
// puts its option bytes back as it unwinds. Closing still works.
class InterruptiblePort : public SerialPort {
  public:
    InterruptiblePort(SerialPort& inner, std::function<bool()> interrupted);

    void open(const std::string& name) override;
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void purge() override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override;
    std::size_t write(const Bytes& bytes) override;
    void wait(std::uint32_t ms) override;
    Bytes read(std::size_t n) override;
    void setDtr(bool on) override;

  private:
    void check() const;

    SerialPort& inner_;
    std::function<bool()> interrupted_;
};
