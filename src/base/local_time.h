#pragma once

#include <ctime>
#include <string>

// The moment as local time in ISO 8601 with its offset from UTC, to the
// second: "2026-12-09T04:10:03+01:00".
std::string localTimeText(std::time_t when);
