#include "link/routed_port.h"

#include "base/errors.h"
#include "link/port_list.h"

RoutedPort::RoutedPort(SerialPort& system, SerialPort& special, std::string specialName)
    : system_(system), special_(special), specialName_(std::move(specialName)) {}

void RoutedPort::open(const std::string& name) {
    if (isOpen()) return;
    SerialPort& chosen = name == specialName_ ? special_ : system_;
    chosen.open(name);
    active_ = &chosen;
}

void RoutedPort::close() {
    if (active_ == nullptr) return;
    SerialPort* closing = active_;
    active_ = nullptr;
    closing->close();
}

SerialPort& RoutedPort::current() {
    // A closed port answers like the system's closed port does.
    return active_ != nullptr ? *active_ : system_;
}

ListedPorts::ListedPorts(PortEnumerator& system, std::optional<std::string> override,
                         std::optional<std::string> extra, std::function<bool()> extraPresent)
    : system_(system),
      override_(std::move(override)),
      extra_(std::move(extra)),
      extraPresent_(std::move(extraPresent)) {}

std::vector<std::string> ListedPorts::listPorts() {
    std::vector<std::string> names = override_ ? splitPortNames(*override_) : system_.listPorts();
    if (extra_ && (!extraPresent_ || extraPresent_())) names.push_back(*extra_);
    return names;
}
