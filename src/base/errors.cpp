#include "base/errors.h"

PortError::PortError(const std::string& text, int code)
    : std::runtime_error(text + " (Error: " + std::to_string(code) + ")"), code_(code) {}
