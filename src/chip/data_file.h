#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

// The CRC-32 of every byte of the file as stored, read in chunks of 8192
// bytes. A file that cannot be opened or read gives the CRC of what was read
// before the failure; the line reader reports the failure itself.
std::uint32_t fileCrc32(const std::string& path);

// A data file's text as the line reader sees it: the bytes up to the first
// NUL, held once; the lines are views into it.
struct DataFileText {
    std::string text;
    std::size_t lineCount = 0;
};

// Reads the whole file as raw bytes. Raises an AppError naming the file when
// it cannot be opened or read (missing, no permission, a folder).
DataFileText readDataFile(const std::string& path);

// Splits text into lines ending at CR, LF or CR LF; the last line needs no
// line end, and an empty text has no lines.
class LineReader {
  public:
    explicit LineReader(std::string_view text) : rest_(text) {}
    // The next line without its line end; false when the text is used up.
    bool next(std::string_view& line);

  private:
    std::string_view rest_;
};

std::size_t countLines(std::string_view text);
