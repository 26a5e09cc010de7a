#include "link/frame_crc.h"

std::uint32_t UpdateFrameCrc(std::uint32_t state, std::uint8_t byte) {
    for (int bit = 0; bit < 8; ++bit) {
        const bool feedback = ((state ^ byte) & 1u) != 0;
        if (feedback) state ^= 0x02608EDAu;
        state >>= 1;
        if (feedback) state |= 0x80000000u;
        byte >>= 1;
    }
    return state;
}

std::uint32_t frameCrc(const std::uint8_t* data, std::size_t size) {
    std::uint32_t state = kFrameCrcStart;
    for (std::size_t i = 0; i < size; ++i) state = UpdateFrameCrc(state, data[i]);
    return state;
}
