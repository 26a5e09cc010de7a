#pragma once

#include <cstddef>
#include <cstdint>
#include <string_view>

#include "base/bytes.h"

// The bytes of a text: frames and replies written as the text they carry.
inline Bytes bytesOf(std::string_view text) {
    return Bytes(text.begin(), text.end());
}

// Bytes that differ within a page and from page to page (byte i is
// i * seed + i / 256), so that a block sent to the wrong place shows.
inline Bytes patternedBytes(std::size_t size, unsigned seed) {
    Bytes bytes(size);
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<std::uint8_t>(i * seed + i / 256);
    return bytes;
}
