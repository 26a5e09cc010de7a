#pragma once

#include <cstdint>
#include <string_view>

enum class THttpChunkState {
    httpChunkGetSize,
    httpChunkGetExt,
    httpChunkGetData,
    httpChunkSkipDataEnd,
    httpChunkGetTrailer,
    httpChunkDone,
};

// Decodes the chunked transfer coding as bytes come, in any split. After the
// last chunk its trailer lines are read up to the empty line that ends them, so
// that nothing of this body is left for the next response on the connection.
class ChunkDecoder {
  public:
    void reset();
    // Takes bytes from the front of input and returns the next run of chunk
    // data, a view into input. An empty run means input is used up or the
    // body is done.
    std::string_view next(std::string_view& input);
    THttpChunkState state() const { return state_; }
    bool done() const { return state_ == THttpChunkState::httpChunkDone; }

  private:
    void sizeDigit(std::string_view& input);
    bool skipLine(std::string_view& input);
    void trailerByte(char c);

    THttpChunkState state_ = THttpChunkState::httpChunkGetSize;
    std::uint64_t length_ = 0;
    std::uint64_t received_ = 0;
    bool trailerLineEmpty_ = true;
};
