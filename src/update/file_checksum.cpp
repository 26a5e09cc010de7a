#include "update/file_checksum.h"

#include "base/crc32.h"
#include "base/file_blocks.h"

std::optional<std::uint32_t> wholeFileCrc32(const std::string& path) {
    Crc32 crc;
    const bool read = readFileBlocks(
        path, [&crc](std::span<const std::uint8_t> block) { crc.update(block.data(), block.size()); });
    if (!read) return std::nullopt;
    return crc.value();
}
