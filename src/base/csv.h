#pragma once

#include <string>
#include <string_view>
#include <vector>

// Comma-separated values as RFC 4180 writes them, so that spreadsheets and
// scripts read them back field for field.

// The field as it is when it holds no comma, quote, CR or LF; otherwise in
// quotes, its own quotes doubled.
std::string csvField(std::string_view text);
// The fields separated by commas and ended by CRLF.
std::string csvRow(const std::vector<std::string>& fields);
