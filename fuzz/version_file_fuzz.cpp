// Any bytes as a downloaded version file: its lines follow the line rule after
// the text is cut at the first NUL, reading the file gives the same lines as
// splitting its bytes, and the version line reads as the from_chars decimal.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "reference_lines.h"
#include "reference_numbers.h"
#include "scratch_file.h"
#include "update/version_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("version");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = splitVersionLines(bytes);
    require(lines == referenceLines(bytes.substr(0, bytes.find('\0'))),
            "the lines follow the line rule up to the first NUL");

    file.write(bytes);
    const auto read = readVersionLines(file.path());
    require(read && *read == lines, "the file reads as its bytes split");

    // Accepted only whole: four lines or more, the tag, a version that reads.
    const auto accepted = parseVersionFile(lines, "Telvarn");
    require(accepted.has_value() == (lines.size() >= 4 && lines[0] == "Telvarn" &&
                                     referenceDecimalInt32(lines[1]).has_value()),
            "a version file is accepted exactly when it is whole");
    require(!accepted || (accepted->checksum == lines[2] &&
                          accepted->notes.size() == lines.size() - 3),
            "an accepted file's checksum and notes are its lines after the version");

    // The check reads the line after the product's name as the version.
    for (const std::string& line : lines) {
        require(parseDecimalInt32(line) == referenceDecimalInt32(line),
                "a version line reads as the reference decimal");
    }
    return 0;
}
