#pragma once

#include <cstdint>

#include "link/programmer_link.h"
#include "window/log.h"

// Finds the programmer among the serial ports: restarts each into its
// bootloader, starts its application and leaves the link open where it answered.
// firmwareVersion becomes the reported version, -1 when unreadable, -2 when only
// the bootloader answered.
void runDiscovery(ProgrammerLink& link, Log& log, std::int32_t& firmwareVersion);
