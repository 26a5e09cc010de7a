#pragma once

#include <cstdint>
#include <cstdio>
#include <memory>
#include <string>

#include "http/receive_stream.h"

// A document stored in a file: created anew (emptied) when the stream is made,
// written at its end. A failed write (a full disk) throws with the file's name
// and the system's reason, so that a cut download never passes for a whole one.
class FileStream : public ReceiveStream {
  public:
    static constexpr std::uint64_t kUnlimited = ~std::uint64_t(0);

    // path is UTF-8. Throws std::runtime_error when the file cannot be created.
    // A write that would take the file past limit bytes throws.
    explicit FileStream(const std::string& path, std::uint64_t limit = kUnlimited);
    // Closes without reporting; call close() to hear about the last bytes.
    ~FileStream() override;
    FileStream(const FileStream&) = delete;
    FileStream& operator=(const FileStream&) = delete;

    void write(const std::uint8_t* data, std::size_t size) override;
    void shrinkBy(std::uint64_t bytes) override;
    // Stores what is still buffered and closes; throws when that fails.
    void close();

    std::uint64_t size() const { return size_; }
    const std::string& path() const { return path_; }

  private:
    [[noreturn]] void fail(const char* what) const;
    void requireOpen() const;

    std::string path_;
    std::unique_ptr<char[]> buffer_;  // outlives file_, which closes first
    std::FILE* file_ = nullptr;
    std::uint64_t size_ = 0;
    std::uint64_t limit_;
};

// The documents written to standard output, for a command's pipe. Output
// already written cannot be taken back, so shrinkBy throws.
class StdoutStream : public ReceiveStream {
  public:
    StdoutStream();
    void write(const std::uint8_t* data, std::size_t size) override;
    void shrinkBy(std::uint64_t bytes) override;
    // Sends out what is buffered; throws when it cannot be written (a full
    // disk, a closed pipe), or when an earlier write was lost.
    void flush();
};
