#pragma once

#include <chrono>
#include <string>

#include "base/bytes.h"

// A pseudo-terminal pair: the port under test opens the slave by its path, and the test plays
// the device on the master side.
class PseudoTerminal {
  public:
    PseudoTerminal();
    ~PseudoTerminal();
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    const std::string& slavePath() const { return slavePath_; }
    // Sends bytes as the device.
    void send(const Bytes& bytes);
    // Collects what the port sent, until n bytes came or the time-out passed.
    Bytes receive(std::size_t n, std::chrono::milliseconds timeout);
    // Closes the master side, as if the device were unplugged.
    void hangUp();

  private:
    int master_ = -1;
    // Held open so that the slave never hangs up between the port's opens.
    int slave_ = -1;
    std::string slavePath_;
};
