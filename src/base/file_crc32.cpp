#include "base/file_crc32.h"

#include <filesystem>
#include <system_error>

#include "base/crc32.h"
#include "base/file_blocks.h"
#include "base/file_path.h"

std::optional<std::uint32_t> fileCrc32(const std::string& path) {
    std::error_code error;
    if (!std::filesystem::is_regular_file(pathFromUtf8(path), error)) return std::nullopt;
    Crc32 crc;
    const bool read = readFileBlocks(
        path, [&crc](std::span<const std::uint8_t> block) { crc.update(block.data(), block.size()); });
    if (!read) return std::nullopt;
    return crc.value();
}
