// Any bytes as a data file: the reader's text stops at the first NUL, its lines
// follow the one line rule, every line is a valid bit number exactly when the
// from_chars reading of the syntax says so, and the bit lies inside the buffer.
// Invalid lines are logged as displayable text, which must be valid UTF-8 on
// one line.
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "base/crc32.h"
#include "base/file_crc32.h"
#include "base/text_encoding.h"
#include "chip/bit_number.h"
#include "chip/chip_buffer.h"
#include "chip/data_file.h"
#include "fuzz_check.h"
#include "reference_lines.h"
#include "reference_numbers.h"
#include "scratch_file.h"

namespace {

std::optional<std::uint32_t> referenceBitNumber(std::string_view line) {
    const std::string_view text = withoutLeadingSpaces(line);
    if (text.empty()) return std::nullopt;
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (!text.starts_with(prefix)) continue;
        const auto value = referenceDigits(text.substr(prefix.size()), 16);
        if (!value || *value > kHighestBitNumber) return std::nullopt;
        return static_cast<std::uint32_t>(*value);
    }
    const auto value = referenceSignedDecimal(text, 0, kHighestBitNumber);
    if (!value) return std::nullopt;
    return static_cast<std::uint32_t>(*value);
}

void checkLine(std::string_view line, ChipBuffer& buffer) {
    const auto bit = parseBitNumber(line);
    require(bit == referenceBitNumber(line), "a line reads as the reference bit number");
    if (bit) {
        require(*bit < ChipBuffer::kBitCount, "a bit number lies inside the buffer");
        buffer.clearBit(*bit);
        return;
    }
    const std::string shown = displayableText(line);
    require(isValidUtf8(shown), "an invalid line is shown as valid UTF-8");
    require(shown.find_first_of(std::string_view("\r\n\0", 3)) == std::string::npos,
            "an invalid line is shown on one line");
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("data.txt");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    file.write(bytes);

    Crc32 crc;
    crc.update(data, size);
    require(fileCrc32(file.path()) == crc.value(), "the file's CRC-32 covers every byte");

    const DataFileText text = readDataFile(file.path());
    const std::string_view expected = bytes.substr(0, bytes.find('\0'));
    require(text.text == expected, "the text is the bytes before the first NUL");

    const auto lines = referenceLines(text.text);
    require(text.lineCount == lines.size(), "the line count follows the line rule");
    LineReader reader(text.text);
    static ChipBuffer buffer;
    std::size_t index = 0;
    for (std::string_view line; reader.next(line); ++index) {
        require(index < lines.size() && line == lines[index], "the lines follow the line rule");
        checkLine(line, buffer);
    }
    require(index == lines.size(), "the reader ends with the last line");
    return 0;
}
