#pragma once

#include <optional>
#include <string>
#include <vector>

// Sorts port names as text without regard to case, so COM10 comes before COM2.
void sortPortList(std::vector<std::string>& names);

// Splits a comma-separated list of port names; blanks around names are dropped,
// empty names skipped.
std::vector<std::string> splitPortNames(const std::string& text);
