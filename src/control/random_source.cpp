#include "control/random_source.h"

namespace {

constexpr std::uint64_t kMultiplier = 0x0000015A00004E35ULL;

}  // namespace

std::uint32_t RandomSource::next() {
    // Unsigned arithmetic wraps modulo 2^64, which is the step's own modulus.
    state_ = state_ * kMultiplier + 1;
    return static_cast<std::uint32_t>(state_ >> 32) & 0x7FFFFFFFU;
}
