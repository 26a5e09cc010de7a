#include "update/file_checksum.h"

#include <array>
#include <cstdio>
#include <memory>

#include "base/crc32.h"
#include "base/file_path.h"

namespace {

struct FileCloser {
    void operator()(std::FILE* file) const { std::fclose(file); }
};

std::unique_ptr<std::FILE, FileCloser> openForReading(const std::string& path) {
#ifdef _WIN32
    return std::unique_ptr<std::FILE, FileCloser>(_wfopen(pathFromUtf8(path).c_str(), L"rb"));
#else
    return std::unique_ptr<std::FILE, FileCloser>(std::fopen(pathFromUtf8(path).c_str(), "rb"));
#endif
}

}  // namespace

std::optional<std::uint32_t> wholeFileCrc32(const std::string& path) {
    const auto file = openForReading(path);
    if (!file) return std::nullopt;
    std::array<std::uint8_t, kChecksumBlock> block;
    Crc32 crc;
    for (;;) {
        const std::size_t read = std::fread(block.data(), 1, block.size(), file.get());
        if (read == 0) break;
        crc.update(block.data(), read);
    }
    if (std::ferror(file.get())) return std::nullopt;
    return crc.value();
}
