#include "link/frame_crc.h"

#include <gtest/gtest.h>

#include <string>

namespace {

std::uint32_t crcOf(const std::string& text) {
    return frameCrc(reinterpret_cast<const std::uint8_t*>(text.data()), text.size());
}

}  // namespace

TEST(FrameCrc, MatchesTheProgrammersVectors) {
    EXPECT_EQ(crcOf("abc"), 0x886160D0u);
    EXPECT_EQ(crcOf("a"), 0xDB6656A2u);
    EXPECT_EQ(crcOf(""), 0xFFFFFFFFu);
}

TEST(FrameCrc, StepsOneByteAtATime) {
    std::uint32_t state = kFrameCrcStart;
    for (char c : std::string("abc")) state = UpdateFrameCrc(state, static_cast<std::uint8_t>(c));
    EXPECT_EQ(state, 0x886160D0u);
    // Not the common CRC-32 of "abc".
    EXPECT_NE(state, 0x352441C2u);
}
