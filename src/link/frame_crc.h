#pragma once

#include <cstddef>
#include <cstdint>

// The programmer's own 32-bit frame checksum: starts at 0xFFFFFFFF, consumes each
// byte from its least significant bit, no final XOR. Not the common CRC-32.
inline constexpr std::uint32_t kFrameCrcStart = 0xFFFFFFFFu;

std::uint32_t UpdateFrameCrc(std::uint32_t state, std::uint8_t byte);
std::uint32_t frameCrc(const std::uint8_t* data, std::size_t size);
