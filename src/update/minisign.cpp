#include "update/minisign.h"

#include <algorithm>
#include <cstring>
#include <vector>

namespace {

constexpr std::string_view kUntrusted = "untrusted comment: ";
constexpr std::string_view kTrusted = "trusted comment: ";

int base64Digit(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

// Strict base64: whole groups of four, '=' only as the padding of the last.
std::optional<std::vector<std::uint8_t>> fromBase64(std::string_view text) {
    if (text.empty() || text.size() % 4 != 0) return std::nullopt;
    std::size_t padding = 0;
    while (padding < 2 && text[text.size() - 1 - padding] == '=') ++padding;
    std::vector<std::uint8_t> bytes;
    std::uint32_t bits = 0;
    int count = 0;
    for (char c : text.substr(0, text.size() - padding)) {
        const int digit = base64Digit(c);
        if (digit < 0) return std::nullopt;
        bits = (bits << 6) | static_cast<std::uint32_t>(digit);
        if (++count % 4 == 0) {
            bytes.push_back(static_cast<std::uint8_t>(bits >> 16));
            bytes.push_back(static_cast<std::uint8_t>(bits >> 8));
            bytes.push_back(static_cast<std::uint8_t>(bits));
            bits = 0;
        }
    }
    if (padding == 2) bytes.push_back(static_cast<std::uint8_t>(bits >> 4));
    if (padding == 1) {
        bytes.push_back(static_cast<std::uint8_t>(bits >> 10));
        bytes.push_back(static_cast<std::uint8_t>(bits >> 2));
    }
    return bytes;
}

// The lines of a small text file; a line end at the very end adds no line.
std::vector<std::string_view> linesOf(std::string_view text) {
    std::vector<std::string_view> lines;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
        lines.push_back(line);
        if (end == std::string_view::npos) break;
        text.remove_prefix(end + 1);
    }
    return lines;
}

bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Base64 of exactly sizeof(out) bytes after the two-byte algorithm name.
template <std::size_t N>
bool decodeInto(std::string_view text, std::array<std::uint8_t, N>& out) {
    const auto bytes = fromBase64(text);
    if (!bytes || bytes->size() != N) return false;
    std::copy(bytes->begin(), bytes->end(), out.begin());
    return true;
}

}  // namespace

std::optional<MinisignKey> parseMinisignKey(std::string_view text) {
    for (std::string_view line : linesOf(text)) {
        if (startsWith(line, kUntrusted)) continue;
        std::array<std::uint8_t, 2 + 8 + 32> bytes{};
        if (!decodeInto(line, bytes) || bytes[0] != 'E' || bytes[1] != 'd') return std::nullopt;
        MinisignKey key;
        std::memcpy(key.id.data(), bytes.data() + 2, key.id.size());
        std::memcpy(key.key.data(), bytes.data() + 10, key.key.size());
        return key;
    }
    return std::nullopt;
}

std::optional<MinisignSignature> parseMinisignSignature(std::string_view text) {
    const auto lines = linesOf(text);
    if (lines.size() != 4 || !startsWith(lines[0], kUntrusted) || !startsWith(lines[2], kTrusted)) {
        return std::nullopt;
    }
    std::array<std::uint8_t, 2 + 8 + 64> first{};
    if (!decodeInto(lines[1], first) || first[0] != 'E' || first[1] != 'D') return std::nullopt;
    MinisignSignature signature;
    std::memcpy(signature.keyId.data(), first.data() + 2, signature.keyId.size());
    std::memcpy(signature.signature.data(), first.data() + 10, signature.signature.size());
    signature.trustedComment = std::string(lines[2].substr(kTrusted.size()));
    if (!decodeInto(lines[3], signature.globalSignature)) return std::nullopt;
    return signature;
}
