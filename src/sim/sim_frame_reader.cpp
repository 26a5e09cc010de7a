#include "sim/sim_frame_reader.h"

#include <algorithm>
#include <array>

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
bool agrees(const Bytes& bytes, const std::string& word) {
    const std::size_t count = std::min(bytes.size(), word.size());
    return std::equal(word.begin(), word.begin() + count, bytes.begin());
}

}  // namespace

std::vector<SimFrame> SimFrameReader::feed(std::span<const std::uint8_t> bytes) {
    pending_.insert(pending_.end(), bytes.begin(), bytes.end());
    std::vector<SimFrame> frames;
    for (;;) {
        SimFrame frame;
        const Cut cut = cutFrame(frame);
        if (cut == Cut::Incomplete) break;
        if (cut == Cut::Frame) {
            frames.push_back(std::move(frame));
        } else {
            pending_.erase(pending_.begin());
            ++skipped_;
        }
    }
    return frames;
}

SimFrameReader::Cut SimFrameReader::cutFrame(SimFrame& frame) {
    if (pending_.empty()) return Cut::Incomplete;
    bool couldStillBecomeOne = false;
    for (const Command& command : kCommands) {
        const std::string word = command.word;
        if (!agrees(pending_, word)) continue;
        if (pending_.size() < word.size()) {
            couldStillBecomeOne = true;
            continue;
        }
        // "prog" followed by the start of "mode" may yet turn out to be `progmode`.
        if (word == "prog" && pending_.size() < 8 &&
            agrees(Bytes(pending_.begin() + 4, pending_.end()), "mode")) {
            return Cut::Incomplete;
        }
        std::size_t length = command.length;
        if (word == "ramwrite") {
            if (pending_.size() < command.length) return Cut::Incomplete;
            length += (std::size_t{pending_[11]} << 8) | pending_[12];
        }
        if (pending_.size() < length) return Cut::Incomplete;
        frame.word = word;
        frame.bytes.assign(pending_.begin(),
                           pending_.begin() + static_cast<std::ptrdiff_t>(length));
        pending_.erase(pending_.begin(), pending_.begin() + static_cast<std::ptrdiff_t>(length));
        return Cut::Frame;
    }
    return couldStillBecomeOne ? Cut::Incomplete : Cut::Garbage;
}
