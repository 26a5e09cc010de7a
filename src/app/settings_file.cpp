#include "app/settings_file.h"

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

int SettingsFile::readInteger(const std::string&, const std::string&, int defaultValue) const {
    return defaultValue;
}

std::string SettingsFile::readString(const std::string&, const std::string&,
                                     const std::string& defaultValue) const {
    return defaultValue;
}

void SettingsFile::writeInteger(const std::string&, const std::string&, int) {}

void SettingsFile::writeString(const std::string&, const std::string&, const std::string&) {}
