#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "link/serial_port.h"

// A COM port through the Win32 communications calls, with the programmer's line settings.
// Every call blocks the calling thread (no overlapped I/O): the link runs one exchange at a
// time on the window's thread. A device that has gone from the line fails the operation that
// finds it so, and closes the port.
class Win32SerialPort : public SerialPort {
  public:
    Win32SerialPort() = default;
    ~Win32SerialPort() override;
    Win32SerialPort(const Win32SerialPort&) = delete;
    Win32SerialPort& operator=(const Win32SerialPort&) = delete;

    // name is the system's port name ("COM3", "COM12").
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
    void applyTimeouts();
    void requireOpen(const char* failText) const;
    std::uint32_t inputQueued(const char* failText);
    void release();
    // Raises the last system error under the operation's text, closing a port whose device is gone.
    [[noreturn]] void fail(const char* text);

    void* handle_ = nullptr;  // the HANDLE, kept out of this header with <windows.h>
    ReadTimeouts timeouts_;
};
