#include "platform/qt_serial_port.h"

#include <QSerialPort>

#include "base/errors.h"

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {}
QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::open(const std::string&) { throw PortError("Unable to open com port", 2); }
void QtSerialPort::close() {}
bool QtSerialPort::isOpen() const { return false; }
void QtSerialPort::purge() {}
void QtSerialPort::setReadTimeouts(const ReadTimeouts& timeouts) { timeouts_ = timeouts; }
std::size_t QtSerialPort::write(const Bytes&) { return 0; }
void QtSerialPort::wait(std::uint32_t) {}
Bytes QtSerialPort::read(std::size_t) { return {}; }
void QtSerialPort::setDtr(bool) {}
