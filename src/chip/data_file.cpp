#include "chip/data_file.h"

#include <array>
#include <cerrno>
#include <filesystem>
#include <fstream>
#include <system_error>

#include "base/errors.h"
#include "base/file_path.h"

namespace {

// Paths come from the dialog as UTF-8; on Windows a narrow path would be
// taken in the ANSI code page.
[[noreturn]] void cannotOpen(const std::string& path, const std::string& reason) {
    std::string text = "Не удаётся открыть файл \"" + path + "\"";
    if (!reason.empty()) text += ": " + reason;
    throw AppError(text);
}

[[noreturn]] void cannotOpen(const std::string& path, int error) {
    cannotOpen(path, error != 0 ? std::system_category().message(error) : std::string());
}

// Folders, devices and pipes are refused before reading: a folder fails only
// on reading, and a device or a pipe may never end.
bool isOtherThanFile(const std::filesystem::path& where) {
    std::error_code status;
    const auto type = std::filesystem::status(where, status).type();
    return !status && type != std::filesystem::file_type::regular;
}

}  // namespace

DataFileText readDataFile(const std::string& path) {
    const auto where = pathFromUtf8(path);
    std::error_code status;
    if (std::filesystem::is_directory(where, status)) cannotOpen(path, EISDIR);
    if (isOtherThanFile(where)) cannotOpen(path, "это не файл");
    errno = 0;
    std::ifstream in(where, std::ios::binary);
    if (!in) cannotOpen(path, errno);

    DataFileText file;
    const auto size = std::filesystem::file_size(where, status);
    if (!status) file.text.reserve(static_cast<std::size_t>(size));
    std::array<char, 65536> chunk;
    while (in) {
        in.read(chunk.data(), chunk.size());
        file.text.append(chunk.data(), static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad()) cannotOpen(path, errno);

    // Nothing after a NUL is text.
    const auto end = file.text.find('\0');
    if (end != std::string::npos) {
        file.text.resize(end);
        file.text.shrink_to_fit();
    }
    file.lineCount = countLines(file.text);
    return file;
}
