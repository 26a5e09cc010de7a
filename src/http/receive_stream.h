#pragma once

#include <cstddef>
#include <cstdint>

// Where a client writes the body bytes of a document. The caller owns it;
// the client writes at the current end and, to cut a relocation's body out
// again, shortens it. Both throw when the bytes cannot be stored.
class ReceiveStream {
  public:
    virtual ~ReceiveStream() = default;
    virtual void write(const std::uint8_t* data, std::size_t size) = 0;
    virtual void shrinkBy(std::uint64_t bytes) = 0;
};

// Throws when `size` more bytes would take a document of `held` bytes past
// `limit`: a server cannot make the program hold more than it asked for.
void requireRoomFor(std::uint64_t held, std::size_t size, std::uint64_t limit);
