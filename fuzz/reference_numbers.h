// The number formats of the readers, read a second way with std::from_chars,
// so that the fuzz targets can hold the readers' own parsing against them.
#pragma once

#include <charconv>
#include <cstdint>
#include <optional>
#include <string_view>

// Digits of the base and nothing else, at least one; nothing when the value
// does not fit 64 bits.
inline std::optional<std::uint64_t> referenceDigits(std::string_view digits, int base) {
    std::uint64_t value = 0;
    const char* end = digits.data() + digits.size();
    const auto [stop, error] = std::from_chars(digits.data(), end, value, base);
    if (digits.empty() || error != std::errc() || stop != end) return std::nullopt;
    return value;
}

// An optional sign, then decimal digits; nothing outside [low, high].
inline std::optional<std::int64_t> referenceSignedDecimal(std::string_view text, std::int64_t low,
                                                          std::int64_t high) {
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto magnitude = referenceDigits(text, 10);
    if (!magnitude || *magnitude > (std::uint64_t{1} << 62)) return std::nullopt;
    const auto value = static_cast<std::int64_t>(*magnitude);
    const std::int64_t signedValue = negative ? -value : value;
    if (signedValue < low || signedValue > high) return std::nullopt;
    return signedValue;
}

inline std::string_view withoutLeadingSpaces(std::string_view text) {
    const auto first = text.find_first_not_of(' ');
    return first == std::string_view::npos ? std::string_view() : text.substr(first);
}

// Leading spaces, an optional sign, decimal digits to the end, in 32 bits.
inline std::optional<std::int32_t> referenceDecimalInt32(std::string_view text) {
    const auto value = referenceSignedDecimal(withoutLeadingSpaces(text), INT32_MIN, INT32_MAX);
    if (!value) return std::nullopt;
    return static_cast<std::int32_t>(*value);
}
