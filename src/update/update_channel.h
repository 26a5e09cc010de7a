#pragma once

#include <cstdint>
#include <string>

// What sets the program's update apart from the firmware's; the version check
// and the download are otherwise the same for both.
struct UpdateChannel {
    enum class Kind { Program, Firmware };

    Kind kind;
    std::string productTag;  // line 1 of the version file
    std::uint32_t firstIntervalMs;
    std::string notice;
    std::string checkFailure;
    std::string confirmCaption;
    std::string downloadFailure;
    std::string checksumFailure;
    std::string signatureFailure;
};

const UpdateChannel& programChannel();
const UpdateChannel& firmwareChannel();
