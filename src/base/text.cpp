#include "base/text.h"

char hexDigit(unsigned value) {
    return "0123456789ABCDEF"[value & 0x0F];
}

std::string hexByte(std::uint8_t value) {
    return {hexDigit(value >> 4), hexDigit(value)};
}

std::string hexWord(std::uint16_t value) {
    return hexByte(static_cast<std::uint8_t>(value >> 8)) +
           hexByte(static_cast<std::uint8_t>(value));
}

std::string hexLong(std::uint32_t value) {
    return hexWord(static_cast<std::uint16_t>(value >> 16)) +
           hexWord(static_cast<std::uint16_t>(value));
}

int digitValue(char c, unsigned base) {
    int value = -1;
    if (c >= '0' && c <= '9') value = c - '0';
    if (c >= 'a' && c <= 'f') value = c - 'a' + 10;
    if (c >= 'A' && c <= 'F') value = c - 'A' + 10;
    return value >= 0 && static_cast<unsigned>(value) < base ? value : -1;
}

std::string_view trimmed(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t' || c == '\r' || c == '\v'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

std::string decimal(long long value) {
    return std::to_string(value);
}

std::string programDirectoryOf(const std::string& executablePath) {
    const auto cut = executablePath.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : executablePath.substr(0, cut);
}
