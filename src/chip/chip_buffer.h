#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <span>

// The chip data image: bit n is bit (n mod 8) of byte (n div 8); a 0 bit is a
// bit to program. All 0xFF at start and before every file load.
class ChipBuffer {
  public:
    static constexpr std::size_t kSize = 131072;
    static constexpr std::uint32_t kBitCount = kSize * 8;

    ChipBuffer() { fill(); }
    void fill() { bytes_.fill(0xFF); }
    void clearBit(std::uint32_t bit) {
        bytes_[bit / 8] &= static_cast<std::uint8_t>(~(1u << (bit % 8)));
    }
    std::uint8_t& operator[](std::size_t index) { return bytes_[index]; }
    std::uint8_t operator[](std::size_t index) const { return bytes_[index]; }
    std::span<std::uint8_t> bytes() { return bytes_; }
    std::span<const std::uint8_t> bytes() const { return bytes_; }

  private:
    std::array<std::uint8_t, kSize> bytes_;
};
