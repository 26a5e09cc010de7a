#include "support/temp_folder.h"

#include <unistd.h>

#include <atomic>
#include <fstream>
#include <sstream>

#include "base/file_path.h"

TempFolder::TempFolder() {
    static std::atomic<int> counter{0};
    path_ = std::filesystem::temp_directory_path() /
            ("telvarn-test-" + std::to_string(::getpid()) + "-" + std::to_string(counter++));
    std::filesystem::remove_all(path_);
    std::filesystem::create_directories(path_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(path_, ignored);
}

std::string TempFolder::file(const std::string& name) const {
    return utf8Of(path_ / pathFromUtf8(name));
}

void TempFolder::write(const std::string& name, const std::string& content) const {
    std::ofstream(path_ / pathFromUtf8(name), std::ios::binary) << content;
}

void TempFolder::write(const std::string& name, const Bytes& content) const {
    std::ofstream out(path_ / pathFromUtf8(name), std::ios::binary);
    out.write(reinterpret_cast<const char*>(content.data()),
              static_cast<std::streamsize>(content.size()));
}

std::string TempFolder::read(const std::string& name) const {
    std::ifstream in(path_ / pathFromUtf8(name), std::ios::binary);
    std::stringstream content;
    content << in.rdbuf();
    return content.str();
}

bool TempFolder::exists(const std::string& name) const {
    return std::filesystem::exists(path_ / pathFromUtf8(name));
}
