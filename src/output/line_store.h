#pragma once

#include <compare>
#include <cstddef>
#include <cstdint>
#include <iterator>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

// Lines of text kept compactly: the bytes of many lines share large blocks, and
// a line costs only its end offset beside its text, where a string per line
// would cost its own allocation and header. Lines come and go only at the end.
class LineStore {
  public:
    class const_iterator;
    using iterator = const_iterator;
    using value_type = std::string_view;
    using size_type = std::size_t;

    LineStore() = default;
    LineStore(LineStore&&) noexcept = default;
    LineStore& operator=(LineStore&&) noexcept = default;

    void push_back(std::string_view line);
    // Removes the last line; the store must not be empty.
    void pop_back();
    // Removes every line and gives their memory back.
    void clear();

    std::size_t size() const { return ends_.size(); }
    bool empty() const { return ends_.empty(); }
    // The view lasts until the line is removed; later lines do not move it.
    std::string_view operator[](std::size_t index) const;
    std::string_view front() const { return (*this)[0]; }
    std::string_view back() const { return (*this)[size() - 1]; }
    const_iterator begin() const;
    const_iterator end() const;

    // A copy as strings, for a caller that keeps the lines apart from the store.
    operator std::vector<std::string>() const;

    // Any sequence of texts with the same lines, in order.
    template <typename Lines>
    bool operator==(const Lines& lines) const {
        if (std::size(lines) != size()) return false;
        std::size_t index = 0;
        for (const auto& line : lines) {
            if ((*this)[index++] != line) return false;
        }
        return true;
    }

  private:
    struct Block {
        std::unique_ptr<char[]> bytes;
        std::size_t capacity = 0;
        std::size_t used = 0;
        std::size_t firstLine = 0;
    };

    Block& blockFor(std::size_t bytes);
    const Block& blockOf(std::size_t line) const;

    std::vector<Block> blocks_;
    // Each line's end within its block; the line begins where the one before it
    // ends, or at the block's start for the block's first line.
    std::vector<std::uint32_t> ends_;
};

// Random access by position, so that iterators of the same store compare and
// survive the store growing.
class LineStore::const_iterator {
  public:
    using iterator_concept = std::random_access_iterator_tag;
    using iterator_category = std::input_iterator_tag;
    using value_type = std::string_view;
    using difference_type = std::ptrdiff_t;
    using reference = std::string_view;

    const_iterator() = default;
    const_iterator(const LineStore* store, std::size_t index) : store_(store), index_(index) {}

    std::string_view operator*() const { return (*store_)[index_]; }
    std::string_view operator[](difference_type n) const { return *(*this + n); }
    const_iterator& operator++() {
        ++index_;
        return *this;
    }
    const_iterator operator++(int) { return {store_, index_++}; }
    const_iterator& operator--() {
        --index_;
        return *this;
    }
    const_iterator operator--(int) { return {store_, index_--}; }
    const_iterator& operator+=(difference_type n) {
        index_ += static_cast<std::size_t>(n);
        return *this;
    }
    const_iterator& operator-=(difference_type n) { return *this += -n; }
    friend const_iterator operator+(const_iterator it, difference_type n) { return it += n; }
    friend const_iterator operator+(difference_type n, const_iterator it) { return it += n; }
    friend const_iterator operator-(const_iterator it, difference_type n) { return it -= n; }
    friend difference_type operator-(const const_iterator& a, const const_iterator& b) {
        return static_cast<difference_type>(a.index_) - static_cast<difference_type>(b.index_);
    }
    friend bool operator==(const const_iterator& a, const const_iterator& b) {
        return a.index_ == b.index_;
    }
    friend auto operator<=>(const const_iterator& a, const const_iterator& b) {
        return a.index_ <=> b.index_;
    }

  private:
    const LineStore* store_ = nullptr;
    std::size_t index_ = 0;
};

inline LineStore::const_iterator LineStore::begin() const {
    return {this, 0};
}

inline LineStore::const_iterator LineStore::end() const {
    return {this, size()};
}

inline LineStore::operator std::vector<std::string>() const {
    return {begin(), end()};
}
