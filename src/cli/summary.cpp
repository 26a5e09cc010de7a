#include "cli/summary.h"

#include <cstdio>

#include "base/text.h"

namespace {

std::string jsonString(const std::string& text) {
    std::string out = "\"";
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\') {
            out += '\\';
            out += c;
        } else if (byte < 0x20) {
            char escaped[8];
            std::snprintf(escaped, sizeof escaped, "\\u%04X", byte);
            out += escaped;
        } else {
            out += c;  // UTF-8 passes as it is
        }
    }
    return out + "\"";
}

template <typename T, typename Show>
std::string jsonOrNull(const std::optional<T>& value, Show show) {
    return value ? show(*value) : std::string("null");
}

std::string counted(const Summary& summary) {
    return decimal(*summary.good) + " good, " + decimal(*summary.failed) + " failed";
}

}  // namespace

std::string summaryText(const Summary& summary) {
    std::string line = summary.operation + ": ";
    line += summary.good ? counted(summary) : summary.result;
    std::string details;
    auto add = [&](const std::string& part) { details += (details.empty() ? "" : ", ") + part; };
    if (summary.programmers) add(decimal(*summary.programmers) + " programmers");
    if (summary.port) add("port " + *summary.port);
    if (summary.serialNumber) add("serial number " + *summary.serialNumber);
    if (summary.firmwareVersion) add("firmware version " + decimal(*summary.firmwareVersion));
    if (summary.file) add("file " + *summary.file);
    if (summary.crc) add("CRC-32 " + hexLong(*summary.crc));
    add(secondsText(summary.seconds) + " s");
    return line + "; " + details;
}

std::string summaryJson(const Summary& summary) {
    auto text = [](const std::string& value) { return jsonString(value); };
    auto number = [](auto value) { return decimal(value); };
    std::string json = "{\"operation\":" + jsonString(summary.operation);
    json += ",\"port\":" + jsonOrNull(summary.port, text);
    json += ",\"serial_number\":" + jsonOrNull(summary.serialNumber, text);
    json += ",\"firmware_version\":" + jsonOrNull(summary.firmwareVersion, number);
    json += ",\"file\":" + jsonOrNull(summary.file, text);
    json += ",\"crc32\":" +
            jsonOrNull(summary.crc, [](std::uint32_t crc) { return jsonString(hexLong(crc)); });
    json += ",\"result\":" + jsonString(summary.result);
    if (summary.good) json += ",\"good\":" + decimal(*summary.good);
    if (summary.failed) json += ",\"failed\":" + decimal(*summary.failed);
    if (summary.programmers) json += ",\"programmers\":" + decimal(*summary.programmers);
    json += ",\"seconds\":" + secondsText(summary.seconds) + "}";
    return json;
}
