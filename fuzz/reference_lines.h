// The line rule the data-file and version-file readers share, read a second
// way: every line end becomes LF, then the text is cut at each LF. The fuzz
// targets hold the readers' own splitting against it.
#pragma once

#include <string>
#include <string_view>
#include <vector>

// Lines end at CR LF, a lone LF or a lone CR; a line end at the very end adds no
// empty line, and an empty text has no lines.
inline std::vector<std::string> referenceLines(std::string_view text) {
    std::string unified;
    for (std::size_t i = 0; i < text.size(); ++i) {
        const bool crLf = text[i] == '\r' && i + 1 < text.size() && text[i + 1] == '\n';
        unified += text[i] == '\r' ? '\n' : text[i];
        if (crLf) ++i;
    }
    std::vector<std::string> lines;
    std::size_t start = 0;
    while (start < unified.size()) {
        const auto end = unified.find('\n', start);
        if (end == std::string::npos) {
            lines.push_back(unified.substr(start));
            break;
        }
        lines.push_back(unified.substr(start, end - start));
        start = end + 1;
    }
    return lines;
}
