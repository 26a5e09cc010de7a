#pragma once

#include <fstream>
#include <string>

#include "base/signal.h"
#include "window/log.h"

// Appends every log line to a file as it is logged (opt-in diagnostics).
class LogMirror {
  public:
    LogMirror(Log& log, const std::string& path);
    LogMirror(const LogMirror&) = delete;
    LogMirror& operator=(const LogMirror&) = delete;

  private:
    std::ofstream file_;
    // Declared after the file, so that it ends first.
    Connection connection_;
};
