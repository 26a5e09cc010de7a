#pragma once

#include <optional>
#include <string>
#include <string_view>
#include <vector>

// The lines of a version file. A line ends at CR LF, a lone LF or a lone CR; a
// NUL ends the text; a line end at the very end adds no empty line, while an
// empty line inside counts. Lines are kept byte for byte, untrimmed.
std::vector<std::string> splitVersionLines(std::string_view text);

// The lines of the file at path (UTF-8); nothing when it cannot be read.
std::optional<std::vector<std::string>> readVersionLines(const std::string& path);
