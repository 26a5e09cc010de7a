#include "http/memory_stream.h"

#include <stdexcept>

void MemoryStream::write(const std::uint8_t* data, std::size_t size) {
    if (size > limit_ - text_.size()) {
        throw std::runtime_error("the document is longer than " + std::to_string(limit_) +
                                 " bytes");
    }
    text_.append(reinterpret_cast<const char*>(data), size);
}

void MemoryStream::shrinkBy(std::uint64_t bytes) {
    text_.resize(bytes >= text_.size() ? 0 : text_.size() - static_cast<std::size_t>(bytes));
}
