#include "window/log_copy.h"

#include <algorithm>

std::string selectedLinesText(const LineStore& lines, std::vector<std::size_t> rows,
                              std::string_view lineBreak) {
    std::sort(rows.begin(), rows.end());
    rows.erase(std::unique(rows.begin(), rows.end()), rows.end());
    rows.erase(std::lower_bound(rows.begin(), rows.end(), lines.size()), rows.end());
    // Sized once: a million lines are copied without growing the text again and again.
    std::size_t bytes = rows.empty() ? 0 : (rows.size() - 1) * lineBreak.size();
    for (const std::size_t row : rows) bytes += lines[row].size();
    std::string text;
    text.reserve(bytes);
    for (std::size_t i = 0; i < rows.size(); ++i) {
        if (i > 0) text += lineBreak;
        text += lines[rows[i]];
    }
    return text;
}
