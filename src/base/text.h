#pragma once

#include <cstdint>
#include <string>

// Upper-case, zero-padded hexadecimal; the four helpers together are HexText.
char hexDigit(unsigned value);
std::string hexByte(std::uint8_t value);
std::string hexWord(std::uint16_t value);
std::string hexLong(std::uint32_t value);

// Signed decimal, "-" for negatives, no padding.
std::string decimal(long long value);

// The executable's folder: the path cut at its last separator ('\' or '/').
std::string programDirectoryOf(const std::string& executablePath);
