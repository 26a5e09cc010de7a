#include "pseudo_terminal.h"

#include <poll.h>
#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <stdexcept>

PseudoTerminal::PseudoTerminal() {
    if (openpty(&master_, &slave_, nullptr, nullptr, nullptr) != 0) {
        throw std::runtime_error("openpty failed");
    }
    // Raw on the master too, so the bytes cross unchanged in both directions.
    termios raw{};
    tcgetattr(master_, &raw);
    cfmakeraw(&raw);
    tcsetattr(master_, TCSANOW, &raw);
    std::array<char, 128> name{};
    if (ptsname_r(master_, name.data(), name.size()) != 0) throw std::runtime_error("ptsname");
    slavePath_ = name.data();
}

PseudoTerminal::~PseudoTerminal() {
    close(slave_);
    hangUp();
}

void PseudoTerminal::hangUp() {
    if (master_ >= 0) close(master_);
    master_ = -1;
}

void PseudoTerminal::send(const Bytes& bytes) {
    std::size_t done = 0;
    while (done < bytes.size()) {
        const ssize_t n = ::write(master_, bytes.data() + done, bytes.size() - done);
        if (n <= 0) throw std::runtime_error("write to the pseudo-terminal failed");
        done += static_cast<std::size_t>(n);
    }
}

Bytes PseudoTerminal::receive(std::size_t n, std::chrono::milliseconds timeout) {
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + timeout;
    Bytes got;
    while (got.size() < n) {
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(deadline - Clock::now());
        if (left.count() <= 0) break;
        pollfd pfd{master_, POLLIN, 0};
        if (poll(&pfd, 1, static_cast<int>(left.count())) <= 0) break;
        std::array<std::uint8_t, 4096> chunk{};
        const ssize_t r = ::read(master_, chunk.data(), std::min(chunk.size(), n - got.size()));
        if (r <= 0) break;
        got.insert(got.end(), chunk.begin(), chunk.begin() + r);
    }
    return got;
}
