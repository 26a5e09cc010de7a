#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>

// Reads the whole file at path (UTF-8) block by block, handing each block to
// consume. False when the file cannot be opened or a read fails part-way: a
// file that was not read to its end has no checksum or hash to compare.
inline constexpr std::size_t kFileBlock = 65536;
bool readFileBlocks(const std::string& path,
                    const std::function<void(std::span<const std::uint8_t>)>& consume);
