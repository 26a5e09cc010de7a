#pragma once

#include <algorithm>

#include "sim/sim_frame_reader.h"

// When the cable of a programmer that gets unplugged comes out: in the middle
// of the first long operation it serves, judged from the frames alone, and
// only once. "Прошить" loses it at its third `ramwrite`, a RAM check at its
// 100th exchange, a firmware update at its 200th page.
class UnplugPlan {
  public:
    static constexpr int kChipLoadBlock = 3;
    static constexpr int kRamCheckExchange = 100;
    static constexpr int kFirmwarePage = 200;

    // True for the frame during which the cable comes out.
    bool pullsDuring(const SimFrame& frame) {
        if (pulled_) return false;
        pulled_ = decide(frame);
        return pulled_;
    }

  private:
    bool decide(const SimFrame& frame) {
        if (frame.word == "prog") return ++pages_ == kFirmwarePage;
        if (frame.word == "ramread") return ++ramExchanges_ == kRamCheckExchange;
        if (frame.word != "ramwrite") return false;
        ++ramwrites_;
        return ++ramExchanges_ == kRamCheckExchange ||
               (ramwrites_ >= kChipLoadBlock && !blank(frame));
    }

    // A RAM check begins by filling the RAM with 0xFF, so blocks of nothing
    // else are taken for it. "Прошить" sends the chip image, whose last block
    // holds the option bit forced to 0 outside service mode, so it is caught
    // before its load ends even when the image is blank up to there.
    static bool blank(const SimFrame& ramwrite) {
        constexpr std::size_t kHeader = 13;
        return std::all_of(ramwrite.bytes.begin() + kHeader, ramwrite.bytes.end(),
                           [](std::uint8_t byte) { return byte == 0xFF; });
    }

    int ramwrites_ = 0;
    int ramExchanges_ = 0;
    int pages_ = 0;
    bool pulled_ = false;
};
