#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "base/bytes.h"

// The texts of the PortError each operation raises, the same on every
// system and in the simulator.
namespace port_failure {
inline constexpr const char* kOpenFailed = "Unable to open com port";
inline constexpr const char* kBuffersFailed = "SetupComm function failed";
inline constexpr const char* kLineFailed = "SetCommState function failed";
inline constexpr const char* kTimeoutsFailed = "SetCommTimeouts failed";
inline constexpr const char* kPurgeFailed = "PurgeComm function failed";
inline constexpr const char* kWriteFailed = "WriteFile function failed";
inline constexpr const char* kReadFailed = "ReadFile function failed";
inline constexpr const char* kWaitFailed = "WaitForEvent method failed";
inline constexpr const char* kDtrFailed = "EscapeCommFunction function failed";
}  // namespace port_failure

// Read time-outs in ms. A read returns when all bytes came, when more than
// interval ms pass between two bytes once the first has come, or when
// multiplier * n + constant ms have passed in all.
struct ReadTimeouts {
    std::uint32_t interval = 1000;
    std::uint32_t multiplier = 1000;
    std::uint32_t constant = 1000;
    bool operator==(const ReadTimeouts&) const = default;
};

// The port operations the programmer link needs. Every failure is raised as
// a PortError carrying the operation's text and the system's error number.
// An operation that finds the device gone from the line (an unplugged cable)
// closes the port as it raises, so that the link fails every later command at
// once instead of waiting out its time-outs on a dead line.
class SerialPort {
  public:
    virtual ~SerialPort() = default;

    // Opens the named port exclusively at 115200 8N1 with DTR and RTS dropped;
    // does nothing if it is open already. On failure it stays closed.
    virtual void open(const std::string& name) = 0;
    // Aborts pending transfers and releases the port; nothing if closed.
    virtual void close() = 0;
    virtual bool isOpen() const = 0;
    // Discards whatever the driver holds in both directions.
    virtual void purge() = 0;
    virtual void setReadTimeouts(const ReadTimeouts& timeouts) = 0;
    // Sends the bytes; gives up after 100 ms per byte plus 1000 ms. Returns the count sent.
    virtual std::size_t write(const Bytes& bytes) = 0;
    // A bounded pause before reading: ends as soon as bytes are readable, at the latest after ms.
    virtual void wait(std::uint32_t ms) = 0;
    // Reads up to n bytes under the read time-outs; may return fewer or none.
    virtual Bytes read(std::size_t n) = 0;
    virtual void setDtr(bool on) = 0;
};

// Where the names of the system's serial ports come from.
class PortEnumerator {
  public:
    virtual ~PortEnumerator() = default;
    virtual std::vector<std::string> listPorts() = 0;
};
