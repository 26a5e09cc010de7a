#pragma once

#include <string>

#include "base/diagnostic_file.h"
#include "base/signal.h"
#include "output/log.h"

// Appends every log line to a file as it is logged (opt-in diagnostics), each
// after the prefix, one write a line. A file that cannot be opened is reported
// once on standard error.
class LogMirror {
  public:
    LogMirror(Log& log, const std::string& path, std::string prefix = "");
    LogMirror(const LogMirror&) = delete;
    LogMirror& operator=(const LogMirror&) = delete;

  private:
    DiagnosticFile file_;
    std::string prefix_;
    // Declared after the file, so that it ends first.
    Connection connection_;
};
