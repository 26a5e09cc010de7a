#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"

// Serves one port name from a second port (the simulated programmer) and every
// other name from the system's ports.
class RoutedPort : public SerialPort {
  public:
    RoutedPort(SerialPort& system, SerialPort& special, std::string specialName);

    void open(const std::string& name) override;
    void close() override;
    bool isOpen() const override { return active_ != nullptr && active_->isOpen(); }
    void purge() override { current().purge(); }
    void setReadTimeouts(const ReadTimeouts& timeouts) override {
        current().setReadTimeouts(timeouts);
    }
    std::size_t write(const Bytes& bytes) override { return current().write(bytes); }
    void wait(std::uint32_t ms) override { current().wait(ms); }
    Bytes read(std::size_t n) override { return current().read(n); }
    void setDtr(bool on) override { current().setDtr(on); }

  private:
    SerialPort& current();

    SerialPort& system_;
    SerialPort& special_;
    std::string specialName_;
    SerialPort* active_ = nullptr;
};

// Lists the system's ports, or the names given instead, plus an extra name
// whenever its device is present (always, when nobody says otherwise), as the
// system lists a USB port only while its device is plugged in.
class ListedPorts : public PortEnumerator {
  public:
    ListedPorts(PortEnumerator& system, std::optional<std::string> override,
                std::optional<std::string> extra, std::function<bool()> extraPresent = nullptr);
    std::vector<std::string> listPorts() override;

  private:
    PortEnumerator& system_;
    std::optional<std::string> override_;
    std::optional<std::string> extra_;
    std::function<bool()> extraPresent_;
};
