#pragma once

#include <cstddef>
#include <string>

#include "chip/chip_buffer.h"
#include "base/report.h"

// One dump line: the 6-digit offset, ":" and " XX" per byte of the group.
std::string dumpLine(const ChipBuffer& buffer, std::size_t offset, std::size_t count);

// Lists the first byteCount bytes in the log, 32 to a line, after a header.
void dumpBuffer(const ChipBuffer& buffer, std::size_t byteCount, Report& report);
