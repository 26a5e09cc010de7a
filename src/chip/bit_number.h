#pragma once

#include <cstdint>
#include <optional>
#include <string_view>

inline constexpr std::uint32_t kHighestBitNumber = 1048575;  // 0xFFFFF

// One line of a data file as a bit number: leading spaces, then a signed
// decimal or a "$", "x", "X", "0x", "0X" hexadecimal number, and nothing
// after it. Nothing when the syntax is wrong or the value lies outside
// 0..1048575.
std::optional<std::uint32_t> parseBitNumber(std::string_view line);
