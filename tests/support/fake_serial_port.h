#pragma once

#include <deque>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "base/errors.h"
#include "link/serial_port.h"

// A port whose replies are scripted byte for byte; it records every operation.
class FakeSerialPort : public SerialPort {
  public:
    // Queues the reply to the next write (one entry per write, in order).
    void reply(const std::string& text) { replies_.emplace_back(text.begin(), text.end()); }
    void reply(const Bytes& bytes) { replies_.push_back(bytes); }
    // Answers each write with a function of the frame instead of the queue.
    std::function<Bytes(const Bytes& frame)> responder;

    // Operations named here raise a PortError ("open", "purge", "timeouts",
    // "write", "wait", "read", "dtr").
    std::set<std::string> failing;
    // Names that cannot be opened.
    std::set<std::string> absent;
    // Names the system refuses to this user (EACCES).
    std::set<std::string> denied;

    std::vector<Bytes> written;       // every frame written, in order
    std::vector<std::string> calls;   // every operation, in order
    std::vector<std::string> opened;  // names opened, in order
    std::vector<bool> dtr;            // DTR levels set
    ReadTimeouts timeouts;
    std::string name;

    void open(const std::string& portName) override;
    void close() override;
    bool isOpen() const override { return open_; }
    void purge() override;
    void setReadTimeouts(const ReadTimeouts& value) override;
    std::size_t write(const Bytes& bytes) override;
    void wait(std::uint32_t ms) override;
    Bytes read(std::size_t n) override;
    void setDtr(bool on) override;

  private:
    void step(const std::string& operation);

    bool open_ = false;
    std::deque<Bytes> replies_;
    Bytes pending_;
};

class FakePortEnumerator : public PortEnumerator {
  public:
    std::vector<std::string> names;
    std::vector<std::string> listPorts() override { return names; }
};
