#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The CRC-32 of every byte of a file as stored (path in UTF-8): of a data
// file as of a download. Nothing when it is not a regular file (a folder, or a
// device or pipe that may never end) or cannot be read to its end.
std::optional<std::uint32_t> fileCrc32(const std::string& path);
