#include "support/fake_serial_port.h"

#include <cerrno>

void FakeSerialPort::step(const std::string& operation) {
    calls.push_back(operation);
    if (failing.count(operation) != 0) throw PortError("Fake " + operation + " failed", 5);
}

void FakeSerialPort::open(const std::string& portName) {
    if (open_) return;
    calls.push_back("open");
    if (failing.count("open") != 0 || absent.count(portName) != 0) {
        throw PortError("Unable to open com port", 2);
    }
    if (denied.count(portName) != 0) throw PortError("Unable to open com port", EACCES);
    open_ = true;
    name = portName;
    opened.push_back(portName);
}

void FakeSerialPort::close() {
    if (!open_) return;
    calls.push_back("close");
    open_ = false;
}

void FakeSerialPort::purge() {
    step("purge");
    pending_.clear();
}

void FakeSerialPort::setReadTimeouts(const ReadTimeouts& value) {
    step("timeouts");
    timeouts = value;
}

std::size_t FakeSerialPort::write(const Bytes& bytes) {
    step("write");
    written.push_back(bytes);
    if (responder) {
        pending_ = responder(bytes);
    } else if (!replies_.empty()) {
        pending_ = replies_.front();
        replies_.pop_front();
    } else {
        pending_.clear();
    }
    return bytes.size();
}

void FakeSerialPort::wait(std::uint32_t) {
    step("wait");
}

Bytes FakeSerialPort::read(std::size_t n) {
    step("read");
    const std::size_t count = std::min(n, pending_.size());
    Bytes out(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(count));
    return out;
}

void FakeSerialPort::setDtr(bool on) {
    step("dtr");
    dtr.push_back(on);
}
