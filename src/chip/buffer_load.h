#pragma once

#include <cstddef>
#include <cstdint>
#include <string>

#include "chip/chip_buffer.h"
#include "base/report.h"

// Fills the buffer from a data file: clears it to 0xFF, logs the line count
// and CRC-32, clears every listed bit and logs one line per invalid line.
// A file that cannot be read raises an AppError after "Буфер очищен".
struct BufferLoad {
    std::size_t lineCount = 0;
    std::uint32_t crc = 0;
    std::size_t invalidLines = 0;  // each of them logged
};
BufferLoad loadDataFileIntoBuffer(const std::string& path, ChipBuffer& buffer, Report& report);
