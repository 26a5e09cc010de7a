#pragma once

#include <string>

#include "base/diagnostic_file.h"
#include "link/serial_port.h"

// Passes every operation to another port and appends each frame written and each
// reply read to a file as a time-stamped hexadecimal line (diagnostics). A file
// that cannot be opened is reported once on standard error.
class TracedPort : public SerialPort {
  public:
    TracedPort(SerialPort& inner, const std::string& path);

    void open(const std::string& name) override;
    void close() override { inner_.close(); }
    bool isOpen() const override { return inner_.isOpen(); }
    void purge() override { inner_.purge(); }
    void setReadTimeouts(const ReadTimeouts& timeouts) override {
        inner_.setReadTimeouts(timeouts);
    }
    std::size_t write(const Bytes& bytes) override;
    void wait(std::uint32_t ms) override { inner_.wait(ms); }
    Bytes read(std::size_t n) override;
    void setDtr(bool on) override { inner_.setDtr(on); }

  private:
    void trace(const char* direction, const Bytes& bytes);

    SerialPort& inner_;
    DiagnosticFile file_;
    std::string name_;
};

// "HH:MM:SS.mmm" of the wall clock, for trace lines.
std::string traceTimestamp();
// Bytes as upper-case hexadecimal separated by spaces.
std::string hexBytes(const Bytes& bytes);
