// Any bytes as what the host sends the simulated programmer, whole and in
// pieces: the frames cut from them do not depend on how the bytes arrive,
// every byte is a frame's, skipped or still pending, the reader's work grows
// with the input, and the device answers the frames without touching memory
// outside its RAM and flash. The first byte chooses the behaviour, the pieces
// and when DTR holds the device in reset.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <span>
#include <vector>

#include "fuzz_check.h"
#include "sim/sim_frame_reader.h"
#include "sim/simulated_programmer.h"

namespace {

// A fixed xorshift sequence, so that a finding replays.
struct Pieces {
    std::uint32_t state;
    std::size_t next(std::size_t most) {
        state ^= state << 13;
        state ^= state >> 17;
        state ^= state << 5;
        return 1 + state % most;
    }
};

constexpr SimBehaviour kBehaviours[] = {SimBehaviour::Normal, SimBehaviour::BootOnly,
                                        SimBehaviour::Silent, SimBehaviour::BadRam,
                                        SimBehaviour::Flaky};

bool sameFrames(const std::vector<SimFrame>& a, const std::vector<SimFrame>& b) {
    return std::equal(a.begin(), a.end(), b.begin(), b.end(), [](const auto& x, const auto& y) {
        return x.word == y.word && x.bytes == y.bytes;
    });
}

void checkReader(std::span<const std::uint8_t> bytes, std::uint8_t options) {
    SimFrameReader whole;
    const auto frames = whole.feed(bytes);
    std::size_t framed = 0;
    for (const SimFrame& frame : frames) {
        require(std::equal(frame.word.begin(), frame.word.end(), frame.bytes.begin()),
                "a frame begins with its command word");
        framed += frame.bytes.size();
    }
    require(framed + whole.skipped() + whole.pendingSize() == bytes.size(),
            "every byte is a frame's, skipped or pending");
    // A pending frame is at most the start of a command word, or a command
    // word whose frame has not all arrived; only bytes after it are moved.
    require(whole.bytesMoved() <= bytes.size(), "the reader moves no more than it is fed");

    SimFrameReader pieces;
    std::vector<SimFrame> pieceFrames;
    Pieces cut{0x9E3779B9u ^ options};
    std::size_t feeds = 0;
    for (std::size_t at = 0; at < bytes.size(); ++feeds) {
        const std::size_t count = std::min(cut.next(options & 0x80 ? 300 : 9), bytes.size() - at);
        for (SimFrame& frame : pieces.feed(bytes.subspan(at, count))) {
            pieceFrames.push_back(std::move(frame));
        }
        at += count;
    }
    require(sameFrames(frames, pieceFrames), "the frames do not depend on the pieces");
    require(pieces.skipped() == whole.skipped() && pieces.pendingSize() == whole.pendingSize(),
            "skipped and pending bytes do not depend on the pieces");
    require(pieces.bytesMoved() <= bytes.size() + 8 * feeds,
            "the reader's work grows with the input, not faster");
}

void checkProgrammer(std::span<const std::uint8_t> bytes, std::uint8_t options) {
    SimulatedProgrammer programmer(kBehaviours[(options & 7) % std::size(kBehaviours)]);
    programmer.setDtr(true);
    programmer.setDtr(false);
    Pieces cut{0x2545F491u ^ options};
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t count = std::min(cut.next(64), bytes.size() - at);
        // Now and then a reset pulse between pieces, as discovery sends one.
        if ((options & 0x40) && cut.next(16) == 1) {
            programmer.setDtr(true);
            programmer.setDtr(false);
        }
        programmer.receive(bytes.subspan(at, count));
        at += count;
    }
    require(programmer.ram().size() == SimulatedProgrammer::kRamSize &&
                programmer.flash().size() == SimulatedProgrammer::kFlashSize,
            "the device's memories keep their sizes");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 1) return 0;
    const std::span<const std::uint8_t> bytes(data + 1, size - 1);
    checkReader(bytes, data[0]);
    checkProgrammer(bytes, data[0]);
    return 0;
}
