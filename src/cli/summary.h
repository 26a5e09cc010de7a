#pragma once

#include <cstdint>
#include <optional>
#include <string>

// The one line that ends a run, for the operator or, as JSON, for a script.
struct Summary {
    std::string operation;
    std::string result;  // "ok", "failed", "not found", "file errors", "interrupted", "error"
    std::optional<std::string> port;
    std::optional<std::string> serialNumber;
    std::optional<std::int32_t> firmwareVersion;
    std::optional<std::string> file;
    std::optional<std::uint32_t> crc;
    double seconds = 0;
    // Chips counted by a repeated run; for a gang's total, its programmers
    // (or, repeated, its chips).
    std::optional<int> good;
    std::optional<int> failed;
    // The programmers of a gang, in its total.
    std::optional<int> programmers;
};

std::string summaryText(const Summary& summary);
std::string summaryJson(const Summary& summary);
