#pragma once

#include <filesystem>
#include <string>

// Paths travel through the program as UTF-8 text. These convert at the file
// system's edge, so that a folder such as C:\Users\Иван works on systems whose
// narrow paths are not UTF-8.
std::filesystem::path pathFromUtf8(const std::string& text);
std::string utf8Of(const std::filesystem::path& path);
