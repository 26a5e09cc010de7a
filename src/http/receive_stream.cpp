#include "http/receive_stream.h"

#include <stdexcept>
#include <string>

void requireRoomFor(std::uint64_t held, std::size_t size, std::uint64_t limit) {
    if (held <= limit && size <= limit - held) return;
    throw std::runtime_error("the document is longer than " + std::to_string(limit) + " bytes");
}
