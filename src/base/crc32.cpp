#include "base/crc32.h"

#include <zlib.h>

#include <algorithm>

void Crc32::update(const std::uint8_t* data, std::size_t size) {
    // zlib takes an unsigned int length: feed very large runs in pieces.
    while (size > 0) {
        const auto piece = static_cast<uInt>(std::min<std::size_t>(size, 1u << 30));
        value_ = static_cast<std::uint32_t>(crc32(value_, data, piece));
        data += piece;
        size -= piece;
    }
}
