#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <span>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "base/message_pump.h"
#include "base/system_services.h"
#include "link/serial_port.h"

// The largest RAM block a ramwrite frame carries: 1037 bytes fit the link's
// 1100-byte transmit buffer. Every caller moves RAM in blocks of this size.
inline constexpr std::uint16_t kRamBlockSize = 1024;

// The one serial link to the programmer: port name, open flag, the exchange
// primitive and one operation per programmer command.
class ProgrammerLink {
  public:
    ProgrammerLink(SerialPort& port, PortEnumerator& ports, MessagePump& pump, Beeper& beeper);

    const std::string& portName() const { return portName_; }
    // Stores the name; an open port is closed and opened again under a new name.
    void setPortName(const std::string& name);
    bool isOpen() const { return port_.isOpen(); }
    void open();
    void close();
    const ReadTimeouts& readTimeouts() const { return readTimeouts_; }

    // Refills and returns the sorted list of the system's serial port names.
    const std::vector<std::string>& refreshPortList();
    const std::vector<std::string>& PortList() const { return portList_; }

    // One command and its reply, for a frame built by the caller (the commands
    // below build theirs after the purge): the port's read time-outs are set to
    // timeoutMs, the frame is written, the line is given up to replyWaitMs to
    // bring the reply, and replyLength bytes are read. Fails without I/O when
    // the port is closed; a purge error escapes, errors while writing, waiting
    // or reading fail it. Succeeds when exactly replyLength bytes came and, for
    // a two-byte reply, they are "OK".
    bool Exchange(const Bytes& frame, std::uint32_t timeoutMs, std::uint32_t replyWaitMs,
                  std::size_t replyLength, Bytes& reply);

    bool ResetPulse();
    std::uint32_t WaitPumping(std::uint32_t ms) { return waitPumping(pump_, ms); }
    void sleep(std::uint32_t ms) { pump_.sleep(ms); }
    void Beep() { beeper_.beep(); }
    void TripleBeep();

    // The command set. Each fails at once when the port is closed.
    std::string info();
    bool erase();
    bool prog(std::span<const std::uint8_t> image, std::uint32_t offset);
    bool runapp();
    bool ramwrite(std::span<const std::uint8_t> source, std::size_t index, std::uint32_t address,
                  std::uint16_t length);
    bool ramread(std::span<std::uint8_t> destination, std::uint32_t address, std::uint16_t length);
    bool vdd(const std::string& selector);
    bool vpr(bool on);
    bool mux(const std::string& state);
    bool ioread(std::string& destination);
    bool test();
    bool idlemode(const std::string& mode);
    bool progmode(const std::string& mode);

  private:
    enum class TimeoutErrors { Fail, Escape };
    // Purge, time-outs, write, wait and read. The frame is built after the purge
    // so that an argument error is raised before anything is written. Nothing
    // when the port is closed or a port error ended the exchange.
    std::optional<Bytes> transact(const std::function<Bytes()>& buildFrame,
                                  std::uint32_t timeoutMs, std::uint32_t replyWaitMs,
                                  std::size_t replyLength, TimeoutErrors timeoutErrors);
    // A command whose reply is "OK".
    bool okCommand(const std::function<Bytes()>& buildFrame, std::uint32_t timeoutMs,
                   std::uint32_t replyWaitMs);

    SerialPort& port_;
    PortEnumerator& ports_;
    MessagePump& pump_;
    Beeper& beeper_;
    std::string portName_ = "COM1";
    ReadTimeouts readTimeouts_;
    std::vector<std::string> portList_;
};

// Builds the frame of a command word followed by its argument bytes.
Bytes commandFrame(const std::string& word, std::initializer_list<std::uint8_t> arguments = {});
