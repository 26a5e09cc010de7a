#include "output/line_store.h"

#include <algorithm>
#include <cstring>
#include <limits>
#include <stdexcept>

namespace {

// Blocks start small, so that a short log stays small, and double up to a size
// whose unused tail is a small share of a long log. A longer line gets a block
// of its own size.
constexpr std::size_t kFirstBlockBytes = 4 * 1024;
constexpr std::size_t kLargestBlockBytes = 1024 * 1024;

}  // namespace

void LineStore::push_back(std::string_view line) {
    if (line.size() > std::numeric_limits<std::uint32_t>::max()) {
        throw std::length_error("log line too long");
    }
    Block& block = blockFor(line.size());
    std::memcpy(block.bytes.get() + block.used, line.data(), line.size());
    block.used += line.size();
    ends_.push_back(static_cast<std::uint32_t>(block.used));
}

LineStore::Block& LineStore::blockFor(std::size_t bytes) {
    if (!blocks_.empty() && blocks_.back().capacity - blocks_.back().used >= bytes) {
        return blocks_.back();
    }
    const std::size_t grown = blocks_.empty()
                                  ? kFirstBlockBytes
                                  : std::min(2 * blocks_.back().capacity, kLargestBlockBytes);
    Block block;
    block.capacity = std::max(grown, bytes);
    // A zero-length line in a zero-sized block still needs a valid address.
    block.bytes = std::make_unique_for_overwrite<char[]>(std::max<std::size_t>(block.capacity, 1));
    block.firstLine = size();
    blocks_.push_back(std::move(block));
    return blocks_.back();
}

void LineStore::pop_back() {
    ends_.pop_back();
    Block& block = blocks_.back();
    if (size() > block.firstLine) {
        block.used = ends_.back();
    } else if (blocks_.size() > 1) {
        blocks_.pop_back();  // its last line is gone; the block before takes the next ones
    } else {
        block.used = 0;
    }
}

void LineStore::clear() {
    blocks_ = std::vector<Block>();
    ends_ = std::vector<std::uint32_t>();
}

const LineStore::Block& LineStore::blockOf(std::size_t line) const {
    // The last block whose first line is at or before the line.
    const auto after = std::upper_bound(
        blocks_.begin(), blocks_.end(), line,
        [](std::size_t value, const Block& block) { return value < block.firstLine; });
    return *(after - 1);
}

std::string_view LineStore::operator[](std::size_t index) const {
    const Block& block = blockOf(index);
    const std::size_t begin = index == block.firstLine ? 0 : ends_[index - 1];
    return {block.bytes.get() + begin, ends_[index] - begin};
}
