#pragma once

#include <filesystem>
#include <string>

// The operator's firmware file, copied into a folder of its own that goes
// away with this object. The update deletes the file it has flashed (in the
// window that keeps the next tick from flashing it again); the operator's
// own file must outlive the run.
class FirmwareCopy {
  public:
    // Raises an AppError naming the file when it cannot be copied.
    explicit FirmwareCopy(const std::string& source);
    ~FirmwareCopy();
    FirmwareCopy(const FirmwareCopy&) = delete;
    FirmwareCopy& operator=(const FirmwareCopy&) = delete;

    const std::string& path() const { return path_; }

  private:
    std::filesystem::path folder_;
    std::string path_;
};
