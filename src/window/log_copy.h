#pragma once

#include <cstddef>
#include <string>
#include <string_view>
#include <vector>

#include "output/line_store.h"

// Copying from the log, alike on every system: what the log's context menu
// offers, and the text a copy of the selected lines makes.
inline constexpr std::string_view kLogCopyCaption = "Копировать";
inline constexpr std::string_view kLogSelectAllCaption = "Выделить всё";

// The lines of the given rows, each once and in the log's order whatever the
// order they were selected in, joined by the line break given (none after the
// last). Rows the log no longer has are left out.
std::string selectedLinesText(const LineStore& lines, std::vector<std::size_t> rows,
                              std::string_view lineBreak);
