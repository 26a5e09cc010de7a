#pragma once

#include <cstdint>

// The process's one pseudo-random source. The RAM check fills its third
// pattern from it; nothing reseeds it, so the first check after start always
// writes the same pattern and every later check continues the sequence.
class RandomSource {
  public:
    // Seeded with 1, whose low half is then advanced once by the 32-bit step.
    static constexpr std::uint64_t kStartState = 1ULL * 22695477ULL + 1ULL;

    // One draw: advances the 64-bit state and returns bits 32..62 of it.
    std::uint32_t next();
    // The low byte of one draw.
    std::uint8_t nextByte() { return static_cast<std::uint8_t>(next()); }

    std::uint64_t state() const { return state_; }

  private:
    std::uint64_t state_ = kStartState;
};
