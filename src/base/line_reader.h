#pragma once

#include <cstddef>
#include <string_view>

// The line rule of the data file and the version file: a line ends at CR, LF
// or CR LF; the last line needs no line end, and an empty text has no lines.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text) {}
    // The next line without its line end; false when the text is used up.
    bool next(std::string_view& line);

  private:
    std::string_view rest_;
};

std::size_t countLines(std::string_view text);
