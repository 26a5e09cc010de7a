// Any bytes as the programmer's `info` reply, as a faulty or foreign device may
// send them: the tags are found wherever they stand, the serial number and the
// version keep to their widths, both show as valid UTF-8 in the log, and the
// firmware version is the from_chars reading of the version text or -1.
#include <cstddef>
#include <cstdint>
#include <string>

#include "base/text_encoding.h"
#include "fuzz_check.h"
#include "link/info_reply.h"
#include "reference_numbers.h"

namespace {

bool contains(const std::string& text, const std::string& tag) {
    return text.find(tag) != std::string::npos;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    const std::string text(reinterpret_cast<const char*>(data), size);
    const InfoReply reply = parseInfoReply(text);
    require(reply.isTelvarn == contains(text, "Telvarn-1"), "the device name is found anywhere");
    require(reply.bootMode == contains(text, "Mode-BOOT"), "the boot mode is found anywhere");
    require(reply.applicationMode == contains(text, "Mode-APPL"), "the mode is found anywhere");
    require(reply.hasId == contains(text, "ID-"), "the serial number's tag is found anywhere");
    require(reply.serialNumber.size() <= 8 && reply.version.size() <= 4,
            "the serial number and the version keep to their widths");
    require(reply.hasId || reply.serialNumber.empty(), "no serial number without its tag");
    require(!reply.hasId || contains(text, "ID-" + reply.serialNumber),
            "the serial number is what follows its tag");
    require(isValidUtf8(displayableText(reply.serialNumber)) &&
                isValidUtf8(displayableText(reply.version)),
            "the serial number and the version show as valid UTF-8");

    const int version = parseFirmwareVersion(reply.version);
    require(version == referenceDecimalInt32(reply.version).value_or(-1),
            "the firmware version is the decimal reading of the version text");
    // The whole reply as a version: a number of any length must not wrap.
    require(parseFirmwareVersion(text) == referenceDecimalInt32(text).value_or(-1),
            "any text reads as the reference decimal");
    return 0;
}
