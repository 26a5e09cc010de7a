#include "link/info_reply.h"

#include "base/text.h"

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
    return parseDecimalInt32(text).value_or(-1);
}
