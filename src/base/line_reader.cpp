#include "base/line_reader.h"

bool LineReader::next(std::string_view& line) {
    if (rest_.empty()) return false;
    std::size_t end = 0;
    while (end < rest_.size() && rest_[end] != '\r' && rest_[end] != '\n') ++end;
    line = rest_.substr(0, end);
    if (end == rest_.size()) {
        rest_ = {};
        return true;
    }
    const bool crLf = rest_[end] == '\r' && end + 1 < rest_.size() && rest_[end + 1] == '\n';
    rest_.remove_prefix(end + (crLf ? 2 : 1));
    return true;
}

std::size_t countLines(std::string_view text) {
    LineReader reader(text);
    std::size_t count = 0;
    for (std::string_view line; reader.next(line);) ++count;
    return count;
}
