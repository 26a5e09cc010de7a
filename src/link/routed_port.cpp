#include "link/routed_port.h"

#include "base/errors.h"
#include "link/port_list.h"

RoutedPort::RoutedPort(SerialPort& system, std::vector<Special> specials)
    : system_(system), specials_(std::move(specials)) {}

RoutedPort::RoutedPort(SerialPort& system, SerialPort& special, std::string specialName)
    : RoutedPort(system, {{std::move(specialName), &special}}) {}

void RoutedPort::open(const std::string& name) {
    if (isOpen()) return;
    SerialPort* chosen = &system_;
    for (const Special& special : specials_) {
        if (special.name == name) chosen = special.port;
    }
    chosen->open(name);
    active_ = chosen;
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
                         std::vector<Extra> extras)
    : system_(system), override_(std::move(override)), extras_(std::move(extras)) {}

ListedPorts::ListedPorts(PortEnumerator& system, std::optional<std::string> override,
                         std::optional<std::string> extra, std::function<bool()> extraPresent)
    : ListedPorts(system, std::move(override),
                  extra ? std::vector<Extra>{{*extra, std::move(extraPresent)}}
                        : std::vector<Extra>{}) {}

std::vector<std::string> ListedPorts::listPorts() {
    std::vector<std::string> names = override_ ? splitPortNames(*override_) : system_.listPorts();
    for (const Extra& extra : extras_) {
        if (!extra.present || extra.present()) names.push_back(extra.name);
    }
    return names;
}
