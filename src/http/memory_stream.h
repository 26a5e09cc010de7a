#pragma once

#include <string>

#include "http/receive_stream.h"

// A small document kept in memory. A body that grows past the limit throws,
// which ends the request as one whose body could not be stored: a server
// cannot make the program hold more than it asked for.
class MemoryStream : public ReceiveStream {
  public:
    explicit MemoryStream(std::size_t limit) : limit_(limit) {}

    void write(const std::uint8_t* data, std::size_t size) override;
    void shrinkBy(std::uint64_t bytes) override;

    const std::string& text() const { return text_; }

  private:
    std::size_t limit_;
    std::string text_;
};
