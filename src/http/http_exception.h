#pragma once

#include <cstdint>
#include <stdexcept>
#include <string>

// What a failed Get raises: the message and a 16-bit code, an HTTP status or
// one of the client's own (THttpCli::kBusyError and the others beside it).
class EHttpException : public std::runtime_error {
  public:
    EHttpException(const std::string& message, std::uint16_t code)
        : std::runtime_error(message), code_(code) {}
    std::uint16_t code() const { return code_; }

  private:
    std::uint16_t code_;
};
