#pragma once

#include <string>
#include <string_view>

// The core's text is UTF-8; the Win32 calls take UTF-16. Malformed input (a
// stray byte in a file name, a lone surrogate from the system) becomes U+FFFD
// instead of failing: these conversions sit on paths that must not throw over
// one bad character.
std::wstring utf8ToWide(std::string_view text);
// The same into a buffer the caller keeps, for text converted again and again
// (every row the log paints).
void utf8ToWideInto(std::string_view text, std::wstring& out);
std::string wideToUtf8(std::wstring_view text);

// The system's own text for an error code of GetLastError(), in UTF-8 and
// without the trailing line break, or "error N" when the system has none.
std::string windowsErrorText(unsigned long code);
