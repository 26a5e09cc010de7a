#pragma once

#include <string>

// The file steps of an update, on UTF-8 paths. Like the rest of the update
// they report nothing: each returns whether it was done.
bool removeFile(const std::string& path);
// Copies, replacing an existing target.
bool copyReplacing(const std::string& from, const std::string& to);
// Renames; fails when the target exists.
bool moveWithoutReplacing(const std::string& from, const std::string& to);
