#pragma once

#include <string>

// Names of the files that live beside the program.
#ifdef _WIN32
inline constexpr const char* kExecutableSuffix = ".exe";
#else
inline constexpr const char* kExecutableSuffix = "";
#endif

inline const std::string kProgramFileName = std::string("Telvarn") + kExecutableSuffix;
inline const std::string kSettingsFileName = "Telvarn.ini";
inline const std::string kVersionFileName = "version";
inline const std::string kVersionCbinFileName = "version_cbin";

// The saved copy of the previous program, e.g. Telvarn_V14.exe on Windows.
std::string savedProgramFileName(int programVersion);

// Joins a folder and a file name with the platform's separator.
std::string inFolder(const std::string& folder, const std::string& name);
