#include "update/update_files.h"

#include <filesystem>
#include <system_error>

#include "base/file_path.h"

namespace fs = std::filesystem;

bool removeFile(const std::string& path) {
    std::error_code error;
    return fs::remove(pathFromUtf8(path), error);
}

bool copyReplacing(const std::string& from, const std::string& to) {
    // The copy is made beside the target and renamed over it: the Windows
    // std::filesystem of g++ refuses to copy over an existing file whatever
    // the options say, and the target is never left half-written.
    const fs::path target = pathFromUtf8(to);
    fs::path copy = target;
    copy += ".copying";
    std::error_code error;
    fs::remove(copy, error);
    if (fs::copy_file(pathFromUtf8(from), copy, error)) {
        fs::rename(copy, target, error);
        if (!error) return true;
    }
    fs::remove(copy, error);
    return false;
}

bool moveWithoutReplacing(const std::string& from, const std::string& to) {
    const fs::path target = pathFromUtf8(to);
    std::error_code error;
    // A rename replaces its target (std::filesystem's does on Windows too), so
    // the target is looked for first; nothing else in the program writes it
    // between the two steps.
    if (fs::exists(target, error) || error) return false;
    fs::rename(pathFromUtf8(from), target, error);
    return !error;
}
