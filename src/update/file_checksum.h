#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The CRC-32 of a whole file (path in UTF-8), read in blocks of kChecksumBlock
// bytes. Nothing when the file cannot be opened or a read fails part-way: a
// file that was not read to its end has no checksum to compare.
inline constexpr std::size_t kChecksumBlock = 8192;
std::optional<std::uint32_t> wholeFileCrc32(const std::string& path);
