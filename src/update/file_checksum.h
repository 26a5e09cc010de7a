#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The CRC-32 of a whole file (path in UTF-8). Nothing when the file cannot be
// opened or a read fails part-way.
std::optional<std::uint32_t> wholeFileCrc32(const std::string& path);
