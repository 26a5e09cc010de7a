#include "cli/prefixed_lines.h"

void SharedLines::write(const std::string& line) {
    const std::lock_guard lock(mutex_);
    out_ << line << std::flush;
}

PrefixedLines::PrefixedLines(SharedLines& target, std::string prefix)
    : std::ostream(nullptr), buffer_(target, std::move(prefix)) {
    rdbuf(&buffer_);
}

PrefixedLines::~PrefixedLines() {
    buffer_.finish();
}

void PrefixedLines::hold() {
    buffer_.hold();
}

void PrefixedLines::release() {
    buffer_.release();
}

void PrefixedLines::discard() {
    buffer_.discard();
}

void PrefixedLines::Buffer::release() {
    holding_ = false;
    for (std::string& line : held_) target_.write(line);
    held_.clear();
}

void PrefixedLines::Buffer::discard() {
    held_.clear();
    line_.clear();
    holding_ = false;
}

// A last line without its end still goes out whole.
void PrefixedLines::Buffer::finish() {
    if (!line_.empty()) put('\n');
    if (!holding_) release();
}

PrefixedLines::int_type PrefixedLines::Buffer::overflow(int_type c) {
    if (!traits_type::eq_int_type(c, traits_type::eof())) put(traits_type::to_char_type(c));
    return traits_type::not_eof(c);
}

std::streamsize PrefixedLines::Buffer::xsputn(const char* text, std::streamsize n) {
    for (std::streamsize i = 0; i < n; ++i) put(text[i]);
    return n;
}

void PrefixedLines::Buffer::put(char c) {
    line_ += c;
    if (c != '\n') return;
    emit(prefix_ + line_);
    line_.clear();
}

void PrefixedLines::Buffer::emit(std::string line) {
    if (holding_) {
        held_.push_back(std::move(line));
    } else {
        target_.write(line);
    }
}
