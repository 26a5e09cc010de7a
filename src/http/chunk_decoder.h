#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

enum class THttpChunkState {
    httpChunkGetSize,
    httpChunkGetExt,
    httpChunkGetData,
    httpChunkSkipDataEnd,
    httpChunkDone,
};

// Decodes the chunked transfer coding as bytes come, in any split. Trailer
// lines after the last chunk are not read; whatever follows it is ignored.
class ChunkDecoder {
  public:
    using Sink = std::function<void(const std::uint8_t*, std::size_t)>;

    void reset();
    // Runs over the bytes; each run of chunk data goes to sink.
    void feed(const std::uint8_t* data, std::size_t size, const Sink& sink);
    THttpChunkState state() const { return state_; }
    bool done() const { return state_ == THttpChunkState::httpChunkDone; }

  private:
    THttpChunkState state_ = THttpChunkState::httpChunkGetSize;
    std::uint64_t length_ = 0;
    std::uint64_t received_ = 0;
};
