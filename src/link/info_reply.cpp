#include "link/info_reply.h"

#include <cctype>
#include <climits>

namespace {

// Up to count characters that follow the first tag, or nothing without the tag.
std::string after(const std::string& text, const std::string& tag, std::size_t count) {
    const auto at = text.find(tag);
    if (at == std::string::npos) return {};
    return text.substr(at + tag.size(), count);
}

}  // namespace

InfoReply parseInfoReply(const std::string& text) {
    InfoReply reply;
    reply.isTelvarn = text.find("Telvarn-1") != std::string::npos;
    reply.bootMode = text.find("Mode-BOOT") != std::string::npos;
    reply.applicationMode = text.find("Mode-APPL") != std::string::npos;
    reply.hasId = text.find("ID-") != std::string::npos;
    reply.serialNumber = after(text, "ID-", 8);
    reply.version = after(text, "Version-", 4);
    return reply;
}

int parseFirmwareVersion(const std::string& text) {
    // Sign and leading blanks as a decimal integer conversion takes them.
    std::size_t i = 0;
    while (i < text.size() && text[i] == ' ') ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    if (i == text.size()) return -1;
    long long value = 0;
    for (; i < text.size(); ++i) {
        if (!std::isdigit(static_cast<unsigned char>(text[i]))) return -1;
        value = value * 10 + (text[i] - '0');
    }
    if (negative) value = -value;
    return value < INT_MIN || value > INT_MAX ? -1 : static_cast<int>(value);
}
