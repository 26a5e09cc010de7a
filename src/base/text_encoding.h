#pragma once

#include <string>
#include <string_view>

// Strict UTF-8: no overlong forms, no surrogates, nothing above U+10FFFF.
bool isValidUtf8(std::string_view bytes);

// The length of the text without a character cut short at its end: the bytes
// that may be written now, the rest waiting for the bytes still to come.
std::size_t completeUtf8Length(std::string_view bytes);

// Windows-1251 bytes as UTF-8; the one unassigned byte (0x98) becomes U+FFFD.
std::string cp1251ToUtf8(std::string_view bytes);

// Text from files written by Windows tools or sent by a device, for display on
// one log line: valid UTF-8 as it stands, anything else taken as Windows-1251;
// NUL, LF and CR are shown as their control pictures (U+2400, U+240A, U+240D).
std::string displayableText(std::string_view bytes);
