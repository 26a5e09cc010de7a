#include "http/receive_buffer.h"

#include <algorithm>
#include <cstring>

#include "http/http_socket.h"

std::size_t ReceiveBuffer::receiveFrom(HttpSocket& socket) {
    compact();
    if (count_ < kFill) {
        const std::size_t came = socket.receive(bytes_.data() + count_, kFill - count_);
        count_ += came;
        return came;
    }
    // The buffer holds one line without its end: read on in small steps and
    // keep only the end of that line and what follows it.
    std::array<std::uint8_t, kSideRead> side{};
    const std::size_t came = socket.receive(side.data(), side.size());
    const auto* lf = static_cast<const std::uint8_t*>(std::memchr(side.data(), '\n', came));
    if (lf == nullptr) return 0;
    const auto tail = static_cast<std::size_t>(side.data() + came - lf);  // the LF and after
    std::memcpy(bytes_.data() + count_ + 1 - tail, lf, tail);
    count_ += 1;
    return came;
}

std::optional<std::size_t> ReceiveBuffer::lineLength() const {
    const void* lf = std::memchr(data(), '\n', count_);
    if (lf == nullptr) return std::nullopt;
    return static_cast<std::size_t>(static_cast<const std::uint8_t*>(lf) - data()) + 1;
}

void ReceiveBuffer::consume(std::size_t n) {
    n = std::min(n, count_);
    start_ += n;
    count_ -= n;
    if (count_ == 0) start_ = 0;
}

void ReceiveBuffer::clear() {
    start_ = 0;
    count_ = 0;
}

void ReceiveBuffer::compact() {
    if (start_ == 0) return;
    std::memmove(bytes_.data(), bytes_.data() + start_, count_);
    start_ = 0;
}
