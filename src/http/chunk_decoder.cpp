#include "http/chunk_decoder.h"

#include <algorithm>
#include <cstring>

#include "base/text.h"

namespace {

// A chunk size beyond any real body; larger sizes stop growing here instead
// of wrapping around to a small one.
constexpr std::uint64_t kSizeCeiling = std::uint64_t{1} << 56;

// Skips up to and including the next LF; true when it was found.
bool skipLine(const std::uint8_t* data, std::size_t size, std::size_t& at) {
    const void* lf = std::memchr(data + at, '\n', size - at);
    if (lf == nullptr) {
        at = size;
        return false;
    }
    at = static_cast<std::size_t>(static_cast<const std::uint8_t*>(lf) - data) + 1;
    return true;
}

}  // namespace

void ChunkDecoder::reset() {
    state_ = THttpChunkState::httpChunkGetSize;
    length_ = 0;
    received_ = 0;
}

void ChunkDecoder::feed(const std::uint8_t* data, std::size_t size, const Sink& sink) {
    std::size_t at = 0;
    for (;;) {
        switch (state_) {
            case THttpChunkState::httpChunkGetSize: {
                if (at == size) return;
                const int digit = digitValue(static_cast<char>(data[at]), 16);
                if (digit < 0) {
                    state_ = THttpChunkState::httpChunkGetExt;
                } else {
                    length_ = std::min(length_ * 16 + static_cast<unsigned>(digit), kSizeCeiling);
                    ++at;
                }
                break;
            }
            case THttpChunkState::httpChunkGetExt:
                if (!skipLine(data, size, at)) return;
                state_ = THttpChunkState::httpChunkGetData;
                break;
            case THttpChunkState::httpChunkGetData: {
                const auto count = static_cast<std::size_t>(
                    std::min<std::uint64_t>(length_ - received_, size - at));
                if (count > 0) {
                    sink(data + at, count);
                    at += count;
                    received_ += count;
                }
                if (received_ < length_) return;
                state_ = THttpChunkState::httpChunkSkipDataEnd;
                break;
            }
            case THttpChunkState::httpChunkSkipDataEnd:
                if (!skipLine(data, size, at)) return;
                if (length_ == 0) {
                    state_ = THttpChunkState::httpChunkDone;
                } else {
                    state_ = THttpChunkState::httpChunkGetSize;
                    length_ = 0;
                    received_ = 0;
                }
                break;
            case THttpChunkState::httpChunkDone:
                return;
        }
    }
}
