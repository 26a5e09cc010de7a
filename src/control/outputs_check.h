#pragma once

#include "link/programmer_link.h"
#include "base/report.h"

// Sends the programmer's test command and logs whether it answered "OK";
// true when it did.
bool runOutputsCheck(ProgrammerLink& link, Report& report);
