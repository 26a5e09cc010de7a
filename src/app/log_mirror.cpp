#include "app/log_mirror.h"

LogMirror::LogMirror(Log& log, const std::string& path)
    : file_(path, std::ios::app | std::ios::binary),
      connection_(log.appended.connect([this](std::string_view line) {
          if (!file_) return;
          file_ << line << '\n';
          file_.flush();
      })) {}
