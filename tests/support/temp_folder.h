#pragma once

#include <filesystem>
#include <string>

#include "base/bytes.h"

// A fresh folder under the system's temporary folder, removed at the end of the test.
// Names and paths are UTF-8 text, as the program's own paths are.
class TempFolder {
  public:
    TempFolder();
    ~TempFolder();
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }
    std::string file(const std::string& name) const;
    void write(const std::string& name, const std::string& content) const;
    void write(const std::string& name, const Bytes& content) const;
    std::string read(const std::string& name) const;
    bool exists(const std::string& name) const;

  private:
    std::filesystem::path path_;
};
