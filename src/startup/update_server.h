#pragma once

#include <optional>
#include <string>

#include "startup/settings_file.h"

// The update server that publishes the version files and downloads. The built-in
// address is the one place to change it in the code; the settings file and the
// environment can replace it at run time (updateServerBase).
inline constexpr const char* kUpdateServerBase = "http://update.telvarn.local:8080";

// The program's own version file and download. A Linux build fetches files of
// its own, so that it never installs a Windows program.
#ifdef _WIN32
inline constexpr const char* kProgramVersionPath = "/products/Telvarn/version";
inline constexpr const char* kProgramDownloadPath = "/products/Telvarn/Telvarn.exe";
#else
inline constexpr const char* kProgramVersionPath = "/products/Telvarn/version_linux";
inline constexpr const char* kProgramDownloadPath = "/products/Telvarn/Telvarn";
#endif
inline constexpr const char* kFirmwareVersionPath = "/products/Telvarn/version_cbin";
inline constexpr const char* kFirmwareDownloadPath = "/products/Telvarn/Telvarn-1_APPL.cbin";

// Where the settings file may name another server: [UPDATE] SERVER=...
inline constexpr const char* kUpdateServerSection = "UPDATE";
inline constexpr const char* kUpdateServerKey = "SERVER";
// The environment variable that replaces both, for trials and tests.
inline constexpr const char* kUpdateServerVariable = "TELVARN_UPDATE_SERVER";

// The base address in use: the environment's value, else the settings file's,
// else the built-in one. An empty value counts as none. A trailing '/' is
// dropped, since every path begins with one.
std::string updateServerBase(const SettingsFile& settings,
                             const std::optional<std::string>& fromEnvironment);
