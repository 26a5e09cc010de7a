#include "chip/buffer_load.h"

#include "base/file_crc32.h"
#include "base/text.h"
#include "base/text_encoding.h"
#include "chip/bit_number.h"
#include "chip/data_file.h"

namespace {

std::string errorLine(std::size_t lineNumber, std::string_view text) {
    std::string line;
    line.reserve(96 + text.size());
    line += "Ошибка в строке ";
    line += decimal(static_cast<long long>(lineNumber));
    line += " : недопустимое значение ";
    line += displayableText(text);
    return line;
}

// Returns the number of invalid lines.
std::size_t applyLines(const DataFileText& file, ChipBuffer& buffer, Report& report) {
    LineReader reader(file.text);
    std::size_t lineNumber = 0;
    std::size_t invalid = 0;
    for (std::string_view line; reader.next(line);) {
        ++lineNumber;
        if (line.empty()) continue;
        if (const auto bit = parseBitNumber(line)) {
            buffer.clearBit(*bit);
        } else {
            report.line(errorLine(lineNumber, line));
            ++invalid;
        }
    }
    return invalid;
}

}  // namespace

BufferLoad loadDataFileIntoBuffer(const std::string& path, ChipBuffer& buffer, Report& report) {
    buffer.fill();
    report.line("Буфер очищен");
    // An unreadable file has no checksum; reading it raises the error.
    const std::uint32_t crc = fileCrc32(path).value_or(0);
    const DataFileText file = readDataFile(path);
    report.line("Загружено " + decimal(static_cast<long long>(file.lineCount)) + " строк из файла " +
               path + ", контрольная сумма = " + hexLong(crc));
    return BufferLoad{file.lineCount, crc, applyLines(file, buffer, report)};
}
