#pragma once

#include <cstdint>
#include <string>

#include "base/report.h"
#include "link/programmer_link.h"

// Finds the programmer among the serial ports: restarts each into its
// bootloader, starts its application and leaves the link open where it answered.
// firmwareVersion becomes the reported version, -1 when unreadable, -2 when only
// the bootloader answered. A port skipped because the user may not open it
// (Linux: not in the group dialout) is named at the end of the log with the fix.
//
// firstPort, when it is in the port list, is tried before the others (the
// port the programmer answered on last time); the list order follows without
// it. The result is for front ends that act on the outcome rather than show it:
// the log says the same to the operator.
struct DiscoveryResult {
    bool found = false;        // a programmer's application answered
    std::string serialNumber;  // of the last programmer whose bootloader answered
};
DiscoveryResult runDiscovery(ProgrammerLink& link, Report& report, std::int32_t& firmwareVersion,
                             const std::string& firstPort = "");
