#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

// Upper-case, zero-padded hexadecimal; the four helpers together are HexText.
char hexDigit(unsigned value);
std::string hexByte(std::uint8_t value);
std::string hexWord(std::uint16_t value);
std::string hexLong(std::uint32_t value);

// The value of a digit of the base (up to 16, either case); -1 for anything else.
int digitValue(char c, unsigned base);

// The text without blanks (space, tab, CR, vertical tab) at either end.
std::string_view trimmed(std::string_view text);

// Signed decimal, "-" for negatives, no padding.
std::string decimal(long long value);
// Seconds to the millisecond, "12.345", whatever the locale (the Qt
// application sets it from the environment).
std::string secondsText(double seconds);

// Reads leading spaces, an optional sign and decimal digits to the end of the
// text; nothing for any other text or a value outside the signed 32-bit range,
// however many digits it has.
std::optional<std::int32_t> parseDecimalInt32(std::string_view text);

// ASCII case folding: only A-Z change, whatever the locale, so that no byte
// of a UTF-8 name or of a foreign header is ever changed or matched by it.
char asciiLower(char c);
std::string asciiLowerCase(std::string_view text);
bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b);
bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix);

// The executable's folder: the path cut at its last separator ('\' or '/').
std::string programDirectoryOf(const std::string& executablePath);
