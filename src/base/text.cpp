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

std::string decimal(long long value) {
    return std::to_string(value);
}

std::string programDirectoryOf(const std::string& executablePath) {
    const auto cut = executablePath.find_last_of("\\/");
    return cut == std::string::npos ? std::string() : executablePath.substr(0, cut);
}
