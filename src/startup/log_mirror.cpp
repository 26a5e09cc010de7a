#include "startup/log_mirror.h"

LogMirror::LogMirror(Log& log, const std::string& path)
    : file_(path, "log file"),
      connection_(log.appended.connect([this](std::string_view line) { file_.writeLine(line); })) {}
