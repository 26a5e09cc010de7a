#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"

// Serves some port names from ports of their own (the simulated programmers)
// and every other name from the system's ports.
class RoutedPort : public SerialPort {
  public:
    struct Special {
        std::string name;
        SerialPort* port;
    };
    RoutedPort(SerialPort& system, std::vector<Special> specials);
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
    std::vector<Special> specials_;
    SerialPort* active_ = nullptr;
};

// Lists the system's ports, or the names given instead, plus extra names,
// each whenever its device is present (always, when nobody says otherwise), as
// the system lists a USB port only while its device is plugged in.
class ListedPorts : public PortEnumerator {
  public:
    struct Extra {
        std::string name;
        std::function<bool()> present;  // none: always
    };
    ListedPorts(PortEnumerator& system, std::optional<std::string> override,
                std::vector<Extra> extras);
    ListedPorts(PortEnumerator& system, std::optional<std::string> override,
                std::optional<std::string> extra, std::function<bool()> extraPresent = nullptr);
    std::vector<std::string> listPorts() override;

  private:
    PortEnumerator& system_;
    std::optional<std::string> override_;
    std::vector<Extra> extras_;
};
