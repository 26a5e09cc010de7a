#include "update/version_file.h"

#include <fstream>
#include <iterator>

#include "base/file_path.h"
#include "base/line_reader.h"
#include "base/text.h"

std::vector<std::string> splitVersionLines(std::string_view text) {
    std::vector<std::string> lines;
    LineReader reader(text.substr(0, text.find('\0')));
    for (std::string_view line; reader.next(line);) lines.emplace_back(line);
    return lines;
}

std::optional<VersionFile> parseVersionFile(const std::vector<std::string>& lines,
                                            std::string_view tag) {
    if (lines.size() < 4 || lines[0] != tag) return std::nullopt;
    const auto version = parseDecimalInt32(lines[1]);
    if (!version) return std::nullopt;
    return VersionFile{*version, lines[1], lines[2], {lines.begin() + 3, lines.end()}};
}

std::optional<std::vector<std::string>> readVersionLines(const std::string& path) {
    std::ifstream in(pathFromUtf8(path), std::ios::binary);
    if (!in) return std::nullopt;
    const std::string text{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    if (in.bad()) return std::nullopt;
    return splitVersionLines(text);
}
