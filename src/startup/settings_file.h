#pragma once

#include <string>

// The sectioned key-value settings file ("[SECTION]" lines, "KEY=value" lines).
// Section and key names match without regard to case. Every write reaches the
// file at once, atomically, and keeps the file's other sections and keys.
class SettingsFile {
  public:
    explicit SettingsFile(std::string path);

    const std::string& path() const { return path_; }

    // Decimal, or hexadecimal after "0x", "0X" or "$"; the default for a missing
    // file, section or key, or a value that is not an integer.
    int readInteger(const std::string& section, const std::string& key, int defaultValue) const;
    std::string readString(const std::string& section, const std::string& key,
                           const std::string& defaultValue) const;

    // Raise AppError "Unable to write to <path>" when the file cannot be written.
    void writeInteger(const std::string& section, const std::string& key, int value);
    void writeString(const std::string& section, const std::string& key, const std::string& value);

  private:
    std::string path_;
};
