#pragma once

#include <cstddef>
#include <cstdint>
#include <span>
#include <string>
#include <vector>

#include "base/bytes.h"

// One complete command frame as the device cut it from the byte stream.
struct SimFrame {
    std::string word;  // the command word, e.g. "ramwrite"
    Bytes bytes;       // the whole frame, command word included
};

// Cuts the host's byte stream into command frames. A frame's length follows
// from its command word (and, for `ramwrite`, from its length field), so a frame
// may arrive in pieces; bytes that cannot begin any command are skipped one by
// one until a command word lines up again.
class SimFrameReader {
  public:
    // Appends bytes and returns the frames they complete, in order.
    std::vector<SimFrame> feed(std::span<const std::uint8_t> bytes);
    void clear() { pending_.clear(); }
    std::size_t pendingSize() const { return pending_.size(); }
    std::size_t skipped() const { return skipped_; }
    // Bytes moved to the front of the buffer so far: with the bytes fed, the
    // whole of the reader's work, which must grow with the input and not faster.
    std::size_t bytesMoved() const { return moved_; }

  private:
    enum class Cut { Frame, Incomplete, Garbage };
    static Cut cutFrame(std::span<const std::uint8_t> rest, SimFrame& frame);

    Bytes pending_;
    std::size_t skipped_ = 0;
    std::size_t moved_ = 0;
};
