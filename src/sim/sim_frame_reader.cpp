#include "sim/sim_frame_reader.h"

#include <algorithm>
#include <array>
#include <string_view>

namespace {

struct Command {
    const char* word;
    std::size_t length;  // whole frame; ramwrite adds its data length
};

// "progmode" before "prog": a `prog` frame never starts with "progmode", since
// its page number would then be 0x6D6F, far beyond the flash.
constexpr std::array<Command, 13> kCommands{{
    {"progmode", 11},
    {"prog", 266},
    {"info", 4},
    {"erase", 5},
    {"runapp", 6},
    {"ramwrite", 13},
    {"ramread", 12},
    {"vdd", 4},
    {"vpr", 4},
    {"mux", 6},
    {"ioread", 6},
    {"test", 4},
    {"idlemode", 11},
}};

// True when the first `count` bytes equal the start of the word (or all of it).
bool agrees(std::span<const std::uint8_t> bytes, std::string_view word) {
    const std::size_t count = std::min(bytes.size(), word.size());
    return std::equal(word.begin(), word.begin() + static_cast<std::ptrdiff_t>(count),
                      bytes.begin());
}

}  // namespace

std::vector<SimFrame> SimFrameReader::feed(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<SimFrame> frames;
    // Consumed bytes are only counted off here and dropped once at the end, so
    // that noise and frames cost the same per byte however much comes at once.
    std::size_t used = 0;
    for (;;) {
        SimFrame frame;
        const Cut cut = cutFrame(std::span(pending_).subspan(used), frame);
        if (cut == Cut::Incomplete) break;
        if (cut == Cut::Frame) {
            used += frame.bytes.size();
            frames.push_back(std::move(frame));
        } else {
            ++used;
            ++skipped_;
        }
    }
    // With nothing consumed the pending frame stays where it is: a long frame
    // arriving in small pieces is not moved once per piece.
    if (used > 0) moved_ += pending_.size() - used;
    pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(used));
    return frames;
}

SimFrameReader::Cut SimFrameReader::cutFrame(std::span<const std::uint8_t> rest, SimFrame& frame) {
    if (rest.empty()) return Cut::Incomplete;
    bool couldStillBecomeOne = false;
    for (const Command& command : kCommands) {
        const std::string_view word = command.word;
        if (!agrees(rest, word)) continue;
        if (rest.size() < word.size()) {
            couldStillBecomeOne = true;
            continue;
        }
        // "prog" followed by the start of "mode" may yet turn out to be `progmode`.
        if (word == "prog" && rest.size() < 8 && agrees(rest.subspan(4), "mode")) {
            return Cut::Incomplete;
        }
        std::size_t length = command.length;
        if (word == "ramwrite") {
            if (rest.size() < command.length) return Cut::Incomplete;
            length += (std::size_t{rest[11]} << 8) | rest[12];
        }
        if (rest.size() < length) return Cut::Incomplete;
        frame.word = std::string(word);
        frame.bytes.assign(rest.begin(), rest.begin() + static_cast<std::ptrdiff_t>(length));
        return Cut::Frame;
    }
    return couldStillBecomeOne ? Cut::Incomplete : Cut::Garbage;
}
