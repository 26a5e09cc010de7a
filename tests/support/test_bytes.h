#pragma once

#include <cstddef>
#include <cstdint>
#include <algorithm>
#include <string_view>
#include <vector>

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

// The frames that begin with the command word, in the order sent.
inline std::vector<Bytes> framesBeginningWith(const std::vector<Bytes>& frames,
                                              std::string_view word) {
    std::vector<Bytes> out;
    for (const Bytes& frame : frames) {
        if (frame.size() >= word.size() && std::equal(word.begin(), word.end(), frame.begin())) {
            out.push_back(frame);
        }
    }
    return out;
}
