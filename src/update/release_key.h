#pragma once

#include <string>

// The public key of the releases this build installs: the base64 line of the
// key file the build was configured with (TELVARN_RELEASE_KEY), or empty for a
// developer build, which installs releases unsigned.
std::string builtInReleaseKey();

// What the two update checks share about signatures.
struct ReleaseTrust {
    std::string keyLine;
    // The developer build's notice has been logged.
    bool unsignedNoticeGiven = false;

    bool required() const { return !keyLine.empty(); }
};
