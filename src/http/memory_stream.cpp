#include "http/memory_stream.h"

void MemoryStream::write(const std::uint8_t* data, std::size_t size) {
    requireRoomFor(text_.size(), size, limit_);
    text_.append(reinterpret_cast<const char*>(data), size);
}

void MemoryStream::shrinkBy(std::uint64_t bytes) {
    text_.resize(bytes >= text_.size() ? 0 : text_.size() - static_cast<std::size_t>(bytes));
}
