// Any bytes as a downloaded version file: stored as the check stores it, it is
// refused exactly when it passes the version file's bound, and nothing past the
// bound reaches the disk; its lines follow the line rule after the text is cut
// at the first NUL, reading the file gives the same lines as splitting its
// bytes, and the version line reads as the from_chars decimal.
#include <cstddef>
#include <cstdint>
#include <filesystem>
#include <stdexcept>
#include <string>
#include <string_view>

#include "base/text.h"
#include "fuzz_check.h"
#include "reference_lines.h"
#include "reference_numbers.h"
#include "scratch_file.h"
#include "http/document_file.h"
#include "update/version_file.h"

namespace {

// Stores the bytes `copies` times over as one document, as the check stores a
// version file; whether the store was refused.
bool refusedWhenStored(const std::string& path, std::string_view bytes, std::size_t copies) {
    DocumentFile file(path);
    ReceiveStream& stream = file.begin(kVersionFileLimit);
    bool refused = false;
    try {
        for (std::size_t i = 0; i < copies; ++i) {
            stream.write(reinterpret_cast<const std::uint8_t*>(bytes.data()), bytes.size());
        }
    } catch (const std::runtime_error&) {
        refused = true;
    }
    file.end();
    return refused;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("version");
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    const auto lines = splitVersionLines(bytes);
    require(lines == referenceLines(bytes.substr(0, bytes.find('\0'))),
            "the lines follow the line rule up to the first NUL");

    // Up to 32 copies: long enough to pass the bound from a short input.
    const std::size_t copies = size == 0 ? 1 : 1 + data[0] % 32;
    const bool refused = refusedWhenStored(file.path(), bytes, copies);
    require(refused == (copies * size > kVersionFileLimit),
            "a version file is refused exactly when it passes its bound");
    require(std::filesystem::file_size(file.path()) <= kVersionFileLimit,
            "nothing past the bound is stored");

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
