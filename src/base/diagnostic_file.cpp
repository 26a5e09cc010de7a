#include "base/diagnostic_file.h"

#include <cerrno>
#include <cstdio>
#include <cstring>

#include "base/file_path.h"

DiagnosticFile::DiagnosticFile(const std::string& path, const std::string& purpose) {
    errno = 0;
    file_.open(pathFromUtf8(path), std::ios::app | std::ios::binary);
    if (file_.is_open()) return;
    const int reason = errno;
    std::fprintf(stderr, "Telvarn: cannot open the %s %s (%s); nothing is written to it\n",
                 purpose.c_str(), path.c_str(),
                 reason != 0 ? std::strerror(reason) : "reason unknown");
}

// The line and its end in one write: several threads of a gang may append
// to the same file, each through a stream of its own.
void DiagnosticFile::writeLine(std::string_view line) {
    if (!file_) return;
    std::string whole(line);
    whole += '\n';
    file_.write(whole.data(), static_cast<std::streamsize>(whole.size()));
    file_.flush();
}
