#include "chip/bit_number.h"

#include "base/text.h"

namespace {

// The whole text must be digits of the base, at least one. The value is
// held saturated just above the limit, so an endless run of digits can
// neither overflow nor pass for a small number.
std::optional<std::uint32_t> digitsValue(std::string_view digits, unsigned base) {
    if (digits.empty()) return std::nullopt;
    std::uint32_t value = 0;
    for (char c : digits) {
        const int digit = digitValue(c, base);
        if (digit < 0) return std::nullopt;
        value = value * base + static_cast<std::uint32_t>(digit);
        if (value > kHighestBitNumber) value = kHighestBitNumber + 1;
    }
    return value;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

std::optional<std::uint32_t> numberValue(std::string_view text) {
    for (std::string_view prefix : {"0x", "0X", "$", "x", "X"}) {
        if (startsWith(text, prefix)) return digitsValue(text.substr(prefix.size()), 16);
    }
    bool negative = false;
    if (!text.empty() && (text.front() == '+' || text.front() == '-')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    const auto value = digitsValue(text, 10);
    // "-0" is zero, not a negative number.
    if (value && negative && *value != 0) return std::nullopt;
    return value;
}

}  // namespace

std::optional<std::uint32_t> parseBitNumber(std::string_view line) {
    const auto first = line.find_first_not_of(' ');
    if (first == std::string_view::npos) return std::nullopt;
    const auto value = numberValue(line.substr(first));
    if (!value || *value > kHighestBitNumber) return std::nullopt;
    return value;
}
