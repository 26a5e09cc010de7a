#pragma once

#include <cstddef>
#include <memory>

#include "link/serial_port.h"

class QSerialPort;

// The system's serial port through QSerialPort, with the programmer's line settings.
// Every operation blocks the calling thread in Qt's waitFor... calls, so it works the same
// with or without a running event loop, and no reader runs behind the exchange's back.
// A device that has gone from the line fails the operation that finds it so, and closes the
// port.
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
    void configureLine();
    void dropModemLines();
    void requireOpen(const char* failText);
    void waitForInput(int ms, const char* failText);
    std::size_t takeBuffered(Bytes& into, std::size_t most);
    int errorNumber() const;
    [[noreturn]] void fail(const char* text);

    std::unique_ptr<QSerialPort> port_;
    ReadTimeouts timeouts_;
};
