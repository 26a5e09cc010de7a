#pragma once

#include <fstream>
#include <memory>
#include <string>

#include "window/log.h"

// Appends every log line to a file as it is logged (opt-in diagnostics).
class LogMirror {
  public:
    LogMirror(Log& log, const std::string& path);

  private:
    std::shared_ptr<std::ofstream> file_;
};
