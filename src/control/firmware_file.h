#pragma once

#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <span>
#include <string>

// The downloaded application image of the programmer: a raw binary without a
// header, of which at most kFirmwareLimit bytes are used.
inline constexpr std::size_t kFirmwareLimit = 122880;  // 480 pages
inline constexpr std::size_t kFirmwareImageSize = 0x20000;
inline constexpr std::size_t kFirmwarePageSize = 256;
inline constexpr const char* kFirmwareName = "Telvarn-1_APPL.cbin";

// What identifies one version of the file between ticks: once a file has been
// reported as unusable, the same stamp keeps it quiet until it changes.
struct FileStamp {
    std::uintmax_t size = 0;
    std::filesystem::file_time_type written{};
    bool operator==(const FileStamp&) const = default;
};

// Nothing when the file's size or time cannot be read.
std::optional<FileStamp> stampOf(const std::filesystem::path& file);

struct FirmwareLoad {
    bool readable = false;
    std::size_t loaded = 0;  // bytes placed at the start of the image
    bool truncated = false;  // the file holds more than the limit
};

// Reads at most kFirmwareLimit bytes of the file into the start of the image,
// which must be at least that long; the rest of the image is left as it is.
FirmwareLoad loadFirmware(const std::filesystem::path& file, std::span<std::uint8_t> image);
