#include "app/log_mirror.h"

LogMirror::LogMirror(Log& log, const std::string& path)
    : file_(std::make_shared<std::ofstream>(path, std::ios::app | std::ios::binary)) {
    auto file = file_;
    log.appended.connect([file](const std::string& line) {
        if (!*file) return;
        *file << line << '\n';
        file->flush();
    });
}
