#pragma once

#include <stdexcept>
#include <string>

// An error of the serial port: the operation's text followed by " (Error: n)".
class PortError : public std::runtime_error {
  public:
    PortError(const std::string& text, int code);
    int code() const { return code_; }

  private:
    int code_;
};

// Any other error that reaches the operator as a message box.
class AppError : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};
