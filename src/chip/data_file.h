#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/line_reader.h"

// A data file's text as the line reader sees it: the bytes up to the first
// NUL, held once; the lines are views into it.
struct DataFileText {
    std::string text;
    std::size_t lineCount = 0;
};

// Reads the whole file as raw bytes. Raises an AppError naming the file when
// it cannot be opened or read (missing, no permission, a folder).
DataFileText readDataFile(const std::string& path);
