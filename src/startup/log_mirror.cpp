#include "startup/log_mirror.h"

LogMirror::LogMirror(Log& log, const std::string& path, std::string prefix)
    : file_(path, "log file"),
      prefix_(std::move(prefix)),
      connection_(log.appended.connect([this](std::string_view line) {
          file_.writeLine(prefix_.empty() ? std::string(line) : prefix_ + std::string(line));
      })) {}
