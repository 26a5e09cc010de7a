#pragma once

#include <memory>

#include "link/serial_port.h"

class QSerialPort;

// The system's serial port through QSerialPort, with the programmer's line settings.
class QtSerialPort : public SerialPort {
public:
    QtSerialPort();
    ~QtSerialPort() override;

    void open(const std::string& name) override;
    void close() override;
    bool isOpen() const override;
    void purge() override;
    void setReadTimeouts(const ReadTimeouts& timeouts) override;
    std::size_t write(const Bytes& bytes) override;
    void wait(std::uint32_t ms) override;
    Bytes read(std::size_t n) override;
    void setDtr(bool on) override;

private:
    std::unique_ptr<QSerialPort> port_;
    ReadTimeouts timeouts_;
};
