#pragma once

#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The longest version file taken from a server; a real one is a few lines.
inline constexpr std::size_t kVersionFileLimit = 64 * 1024;

// The lines of a version file. A line ends at CR LF, a lone LF or a lone CR; a
// NUL ends the text; a line end at the very end adds no empty line, while an
// empty line inside counts. Lines are kept byte for byte, untrimmed.
std::vector<std::string> splitVersionLines(std::string_view text);

// A version file the check accepts, read once as it arrives.
struct VersionFile {
    std::int32_t version = 0;
    std::string versionLine;  // as the file has it; the signature names the release by it
    std::string checksum;     // the download's CRC-32 line, byte for byte
    std::vector<std::string> notes;
};

// The file's lines as a version file of the product with this tag: nothing for
// fewer than four lines, another tag (byte for byte) or a version line that is
// no decimal number.
std::optional<VersionFile> parseVersionFile(const std::vector<std::string>& lines,
                                            std::string_view tag);

// The lines of the file at path (UTF-8); nothing when it cannot be read.
std::optional<std::vector<std::string>> readVersionLines(const std::string& path);
