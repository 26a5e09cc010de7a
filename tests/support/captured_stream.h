#pragma once

#include <algorithm>
#include <cstdint>
#include <optional>
#include <stdexcept>
#include <string>
#include <vector>

#include "http/receive_stream.h"

// A receive stream that keeps what it is given, and every shrink. With a
// capacity it stores what fits and then fails the way a full disk does.
class CapturedStream : public ReceiveStream {
  public:
    std::string bytes;
    std::vector<std::uint64_t> shrinks;
    std::optional<std::size_t> capacity;

    void write(const std::uint8_t* data, std::size_t size) override {
        std::size_t fits = size;
        if (capacity) fits = std::min(size, *capacity - std::min(*capacity, bytes.size()));
        bytes.append(reinterpret_cast<const char*>(data), fits);
        if (fits < size) throw std::runtime_error("disk full");
    }
    void shrinkBy(std::uint64_t n) override {
        shrinks.push_back(n);
        bytes.resize(bytes.size() -
                     static_cast<std::size_t>(std::min<std::uint64_t>(n, bytes.size())));
    }
};
