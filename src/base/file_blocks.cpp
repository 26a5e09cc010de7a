#include "base/file_blocks.h"

#include <cstdio>
#include <memory>
#include <vector>

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

bool readFileBlocks(const std::string& path,
                    const std::function<void(std::span<const std::uint8_t>)>& consume) {
    const auto file = openForReading(path);
    if (!file) return false;
    std::vector<std::uint8_t> block(kFileBlock);
    for (;;) {
        const std::size_t read = std::fread(block.data(), 1, block.size(), file.get());
        if (read == 0) break;
        consume(std::span<const std::uint8_t>(block.data(), read));
    }
    return !std::ferror(file.get());
}
