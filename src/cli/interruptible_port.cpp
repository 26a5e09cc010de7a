#include "cli/interruptible_port.h"

#include "base/errors.h"

namespace {

// The error number of a system call interrupted by a signal.
constexpr int kInterrupted = 4;

}  // namespace

InterruptiblePort::InterruptiblePort(SerialPort& inner, std::function<bool()> interrupted)
    : inner_(inner), interrupted_(std::move(interrupted)) {}

void InterruptiblePort::check() const {
    if (interrupted_ && interrupted_())
        throw PortError("Interrupted by the operator", kInterrupted);
}

void InterruptiblePort::open(const std::string& name) {
    check();
    inner_.open(name);
}

void InterruptiblePort::purge() {
    check();
    inner_.purge();
}

void InterruptiblePort::setReadTimeouts(const ReadTimeouts& timeouts) {
    check();
    inner_.setReadTimeouts(timeouts);
}

std::size_t InterruptiblePort::write(const Bytes& bytes) {
    check();
    return inner_.write(bytes);
}

void InterruptiblePort::wait(std::uint32_t ms) {
    check();
    inner_.wait(ms);
}

Bytes InterruptiblePort::read(std::size_t n) {
    check();
    return inner_.read(n);
}

void InterruptiblePort::setDtr(bool on) {
    check();
    inner_.setDtr(on);
}
