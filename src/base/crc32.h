#pragma once

#include <cstddef>
#include <cstdint>

// The IEEE 802.3 CRC-32 of files and downloads (not the programmer's frame checksum).
class Crc32 {
  public:
    void update(const std::uint8_t* data, std::size_t size);
    std::uint32_t value() const { return value_; }

  private:
    std::uint32_t value_ = 0;
};
