#include "control/firmware_file.h"

#include <fstream>
#include <system_error>

std::optional<FileStamp> stampOf(const std::filesystem::path& file) {
    std::error_code error;
    FileStamp stamp;
    stamp.size = std::filesystem::file_size(file, error);
    if (error) return std::nullopt;
    stamp.written = std::filesystem::last_write_time(file, error);
    if (error) return std::nullopt;
    return stamp;
}

FirmwareLoad loadFirmware(const std::filesystem::path& file, std::span<std::uint8_t> image) {
    FirmwareLoad result;
    // A folder of that name opens on some systems and only fails on reading.
    std::error_code error;
    if (!std::filesystem::is_regular_file(file, error)) return result;
    std::ifstream in(file, std::ios::binary);
    if (!in) return result;
    const std::size_t wanted = std::min(kFirmwareLimit, image.size());
    in.read(reinterpret_cast<char*>(image.data()), static_cast<std::streamsize>(wanted));
    if (in.bad()) return result;
    result.loaded = static_cast<std::size_t>(in.gcount());
    // Whether more follows, asked of the stream rather than of the file's size,
    // which may not match what a growing file really holds.
    if (result.loaded == wanted) {
        result.truncated = in.peek() != std::ifstream::traits_type::eof();
        if (in.bad()) return FirmwareLoad{};
    }
    result.readable = true;
    return result;
}
