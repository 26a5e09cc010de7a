#include "cli/firmware_copy.h"

#include <chrono>
#include <random>
#include <system_error>

#include "base/errors.h"
#include "base/file_path.h"
#include "update/firmware_file.h"

namespace {

std::filesystem::path freshFolder() {
    std::random_device random;
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    const auto base = std::filesystem::temp_directory_path();
    for (int attempt = 0;; ++attempt) {
        auto folder =
            base / ("telvarn-cli-" + std::to_string(now) + "-" + std::to_string(random()));
        // create_directory is false when the name is taken.
        if (std::filesystem::create_directory(folder)) return folder;
        if (attempt == 100) throw AppError("Cannot make a folder in " + utf8Of(base));
    }
}

}  // namespace

FirmwareCopy::FirmwareCopy(const std::string& source) : folder_(freshFolder()) {
    const std::filesystem::path target = folder_ / kFirmwareName;
    std::error_code error;
    const bool regular = std::filesystem::is_regular_file(pathFromUtf8(source), error);
    if (regular) std::filesystem::copy_file(pathFromUtf8(source), target, error);
    if (!regular || error) {
        std::filesystem::remove_all(folder_, error);
        throw AppError("Cannot read the firmware file " + source);
    }
    path_ = utf8Of(target);
}

FirmwareCopy::~FirmwareCopy() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}
