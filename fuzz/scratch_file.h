// A file of the fuzz process's own, for the readers that take a path. It lives
// on the RAM disk when there is one: the settings file syncs every write to
// the disk, and a real disk would make each input cost milliseconds.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>
#include <system_error>

class ScratchFile {
  public:
    explicit ScratchFile(const std::string& name) {
        std::error_code error;
        std::filesystem::path base = "/dev/shm";
        if (!std::filesystem::is_directory(base, error)) {
            base = std::filesystem::temp_directory_path();
        }
        folder_ = base / ("telvarn-fuzz-" + std::to_string(::getpid()));
        std::filesystem::create_directories(folder_);
        path_ = (folder_ / name).string();
    }
    ScratchFile(const ScratchFile&) = delete;
    ScratchFile& operator=(const ScratchFile&) = delete;
    ~ScratchFile() {
        std::error_code error;
        std::filesystem::remove_all(folder_, error);
    }

    const std::string& path() const { return path_; }

    void write(std::string_view content) const {
        std::ofstream out(path_, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
    }

  private:
    std::filesystem::path folder_;
    std::string path_;
};
