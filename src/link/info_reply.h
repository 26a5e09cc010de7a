#pragma once

#include <string>

// The tags the programmer's `info` reply carries, in any order.
struct InfoReply {
    bool isTelvarn = false;
    bool bootMode = false;
    bool applicationMode = false;
    bool hasId = false;
    std::string serialNumber;  // up to 8 characters after "ID-"
    std::string version;       // up to 4 characters after "Version-"
};

InfoReply parseInfoReply(const std::string& text);

// The firmware version as a decimal integer; -1 when the text is not one.
int parseFirmwareVersion(const std::string& text);
