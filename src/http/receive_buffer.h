#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>

class HttpSocket;

// The client's 8193-byte buffer of received bytes not yet consumed. Each
// receive takes only what fits, so a download streams through it in pieces.
class ReceiveBuffer {
  public:
    static constexpr std::size_t kSize = 8193;
    // Receives stop once this many bytes are pending.
    static constexpr std::size_t kFill = 8190;
    // A line longer than the buffer is read on in steps this small, looking for its end.
    static constexpr std::size_t kSideRead = 25;

    // Takes what fits from the socket; returns how many bytes came. Once a
    // line fills the buffer without its end, the rest of that line is dropped
    // and its end kept, so the line arrives cut short.
    std::size_t receiveFrom(HttpSocket& socket);

    std::size_t size() const { return count_; }
    const std::uint8_t* data() const { return bytes_.data() + start_; }
    // The length of the first pending line with its LF; nothing while no LF
    // is pending. A 0 byte is data like any other.
    std::optional<std::size_t> lineLength() const;
    // Drops the first n bytes. What data() showed stays readable until the
    // next receive.
    void consume(std::size_t n);
    void clear();

  private:
    void compact();

    std::array<std::uint8_t, kSize> bytes_{};
    std::size_t start_ = 0;
    std::size_t count_ = 0;
};
