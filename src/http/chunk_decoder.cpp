#include "http/chunk_decoder.h"

#include <algorithm>

#include "base/text.h"

namespace {

// A chunk size beyond any real body; larger sizes stop growing here instead
// of wrapping around to a small one.
constexpr std::uint64_t kSizeCeiling = std::uint64_t{1} << 56;

}  // namespace

void ChunkDecoder::reset() {
    state_ = THttpChunkState::httpChunkGetSize;
    length_ = 0;
    received_ = 0;
    trailerLineEmpty_ = true;
}

std::string_view ChunkDecoder::next(std::string_view& input) {
    while (!input.empty()) {
        switch (state_) {
            case THttpChunkState::httpChunkGetSize:
                sizeDigit(input);
                break;
            case THttpChunkState::httpChunkGetExt:
                if (skipLine(input)) {
                    state_ = length_ == 0 ? THttpChunkState::httpChunkGetTrailer
                                          : THttpChunkState::httpChunkGetData;
                }
                break;
            case THttpChunkState::httpChunkGetData: {
                const auto count =
                    static_cast<std::size_t>(std::min<std::uint64_t>(length_ - received_, input.size()));
                const std::string_view data = input.substr(0, count);
                input.remove_prefix(count);
                received_ += count;
                if (received_ >= length_) state_ = THttpChunkState::httpChunkSkipDataEnd;
                return data;
            }
            case THttpChunkState::httpChunkSkipDataEnd:
                if (skipLine(input)) {
                    state_ = THttpChunkState::httpChunkGetSize;
                    length_ = 0;
                    received_ = 0;
                }
                break;
            case THttpChunkState::httpChunkGetTrailer:
                trailerByte(input.front());
                input.remove_prefix(1);
                break;
            case THttpChunkState::httpChunkDone:
                return {};
        }
    }
    return {};
}

// Hexadecimal digits of either case; the first other byte, left in input,
// starts the extensions and the line end.
void ChunkDecoder::sizeDigit(std::string_view& input) {
    const int digit = digitValue(input.front(), 16);
    if (digit < 0) {
        state_ = THttpChunkState::httpChunkGetExt;
        return;
    }
    length_ = std::min(length_ * 16 + static_cast<unsigned>(digit), kSizeCeiling);
    input.remove_prefix(1);
}

// Takes bytes up to and including the next LF; true when it came.
bool ChunkDecoder::skipLine(std::string_view& input) {
    const auto lf = input.find('\n');
    if (lf == std::string_view::npos) {
        input = {};
        return false;
    }
    input.remove_prefix(lf + 1);
    return true;
}

// Trailer lines are skipped up to the empty one (a lone LF, or CR LF).
void ChunkDecoder::trailerByte(char c) {
    if (c == '\n') {
        if (trailerLineEmpty_) state_ = THttpChunkState::httpChunkDone;
        trailerLineEmpty_ = true;
    } else if (c != '\r') {
        trailerLineEmpty_ = false;
    }
}
