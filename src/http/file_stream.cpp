#include "http/file_stream.h"

#include <cerrno>
#include <cstring>
#include <stdexcept>

#include "base/file_path.h"

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#else
#include <unistd.h>
#endif

namespace {

// Larger than one delivery of the client, so that most writes only copy.
constexpr std::size_t kFileBufferBytes = 64 * 1024;

std::FILE* openEmptied(const std::string& path) {
#ifdef _WIN32
    return _wfopen(pathFromUtf8(path).c_str(), L"wb");
#else
    return std::fopen(pathFromUtf8(path).c_str(), "wb");
#endif
}

bool truncateTo(std::FILE* file, std::uint64_t size) {
#ifdef _WIN32
    return _chsize_s(_fileno(file), static_cast<long long>(size)) == 0;
#else
    return ::ftruncate(fileno(file), static_cast<off_t>(size)) == 0;
#endif
}

bool seekTo(std::FILE* file, std::uint64_t offset) {
#ifdef _WIN32
    return _fseeki64(file, static_cast<long long>(offset), SEEK_SET) == 0;
#else
    return fseeko(file, static_cast<off_t>(offset), SEEK_SET) == 0;
#endif
}

}  // namespace

FileStream::FileStream(const std::string& path, std::uint64_t limit)
    : path_(path),
      buffer_(std::make_unique<char[]>(kFileBufferBytes)),
      file_(openEmptied(path)),
      limit_(limit) {
    if (file_ == nullptr) fail("can't create");
    // The buffer is given, not just its size: the C library would keep a
    // size of its own choice (often 4 KiB) and write far more often.
    std::setvbuf(file_, buffer_.get(), _IOFBF, kFileBufferBytes);
}

FileStream::~FileStream() {
    if (file_ != nullptr) std::fclose(file_);
}

void FileStream::fail(const char* what) const {
    throw std::runtime_error(std::string(what) + " " + path_ + ": " + std::strerror(errno));
}

void FileStream::requireOpen() const {
    if (file_ == nullptr) throw std::runtime_error("file " + path_ + " is already closed");
}

void FileStream::write(const std::uint8_t* data, std::size_t size) {
    requireOpen();
    if (size == 0) return;
    requireRoomFor(size_, size, limit_);
    const std::size_t written = std::fwrite(data, 1, size, file_);
    size_ += written;
    if (written != size) fail("can't write to");
}

void FileStream::shrinkBy(std::uint64_t bytes) {
    requireOpen();
    const std::uint64_t newSize = bytes >= size_ ? 0 : size_ - bytes;
    // Buffered bytes go out first, or they would land after the cut.
    if (std::fflush(file_) != 0) fail("can't write to");
    if (!truncateTo(file_, newSize)) fail("can't shorten");
    if (!seekTo(file_, newSize)) fail("can't shorten");
    size_ = newSize;
}

void FileStream::close() {
    if (file_ == nullptr) return;
    std::FILE* file = file_;
    file_ = nullptr;
    const bool flushed = std::fflush(file) == 0;
    const int flushError = errno;
    const bool closed = std::fclose(file) == 0;
    if (!flushed) errno = flushError;
    if (!flushed || !closed) fail("can't write to");
}

StdoutStream::StdoutStream() {
#ifdef _WIN32
    _setmode(_fileno(stdout), _O_BINARY);
#endif
}

namespace {

[[noreturn]] void failStdout() {
    throw std::runtime_error(std::string("can't write to standard output: ") +
                             std::strerror(errno));
}

}  // namespace

void StdoutStream::write(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return;
    if (std::fwrite(data, 1, size, stdout) != size) failStdout();
}

void StdoutStream::flush() {
    if (std::fflush(stdout) != 0) failStdout();
    if (std::ferror(stdout) != 0) {
        errno = EIO;
        failStdout();
    }
}

void StdoutStream::shrinkBy(std::uint64_t bytes) {
    if (bytes == 0) return;
    throw std::runtime_error("standard output can't take back bytes already written");
}
