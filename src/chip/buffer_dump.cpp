#include "chip/buffer_dump.h"

#include <algorithm>

#include "base/text.h"

namespace {

constexpr std::size_t kBytesPerLine = 32;

}  // namespace

std::string dumpLine(const ChipBuffer& buffer, std::size_t offset, std::size_t count) {
    std::string line = hexByte(static_cast<std::uint8_t>(offset / 65536)) +
                       hexWord(static_cast<std::uint16_t>(offset % 65536)) + ":";
    for (std::size_t i = offset; i < offset + count; ++i) {
        line += ' ';
        line += hexByte(buffer[i]);
    }
    return line;
}

void dumpBuffer(const ChipBuffer& buffer, std::size_t byteCount, Report& report) {
    byteCount = std::min(byteCount, ChipBuffer::kSize);
    report.line("Буфер (байты) : 0-" + decimal(static_cast<long long>(byteCount) - 1));
    for (std::size_t offset = 0; offset < byteCount; offset += kBytesPerLine) {
        report.line(dumpLine(buffer, offset, std::min(kBytesPerLine, byteCount - offset)));
    }
}
