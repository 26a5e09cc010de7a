#include "base/text.h"

#include <charconv>

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

std::string secondsText(double seconds) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, seconds, std::chars_format::fixed, 3);
    return std::string(text, end.ptr);
}

namespace {

// Removes the leading spaces and the sign; true for "-".
bool takeSign(std::string_view& text) {
    while (!text.empty() && text.front() == ' ') text.remove_prefix(1);
    if (text.empty() || (text.front() != '+' && text.front() != '-')) return false;
    const bool negative = text.front() == '-';
    text.remove_prefix(1);
    return negative;
}

// The bound is checked before each step, so no text of any length can wrap.
std::optional<std::uint32_t> magnitudeUpTo(std::string_view digits, std::uint32_t limit) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int digit = digitValue(c, 10);
        if (digit < 0 || value > (limit - static_cast<std::uint32_t>(digit)) / 10) {
            return std::nullopt;
        }
        value = value * 10 + static_cast<std::uint32_t>(digit);
    }
    return value;
}

}  // namespace

std::optional<std::int32_t> parseDecimalInt32(std::string_view text) {
    const bool negative = takeSign(text);
    const std::uint32_t limit = negative ? 0x80000000u : 0x7FFFFFFFu;
    const auto magnitude = magnitudeUpTo(text, limit);
    if (!magnitude) return std::nullopt;
    // Negated in unsigned arithmetic, so that -2147483648 needs no wider type.
    return static_cast<std::int32_t>(negative ? 0u - *magnitude : *magnitude);
}

std::string programDirectoryOf(const std::string& executablePath) {
    const auto cut = executablePath.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : executablePath.substr(0, cut);
}

char asciiLower(char c) {
    return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}

std::string asciiLowerCase(std::string_view text) {
    std::string lower(text);
    for (char& c : lower) c = asciiLower(c);
    return lower;
}

bool equalsIgnoringAsciiCase(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (std::size_t i = 0; i < a.size(); ++i) {
        if (asciiLower(a[i]) != asciiLower(b[i])) return false;
    }
    return true;
}

bool startsWithIgnoringAsciiCase(std::string_view text, std::string_view prefix) {
    return text.size() >= prefix.size() &&
           equalsIgnoringAsciiCase(text.substr(0, prefix.size()), prefix);
}
