#pragma once

#include <string>

// The file-like name of a document from its path: the last segment without
// its query, or "document.htm" when the path names a folder.
std::string docNameOfPath(const std::string& path);

// An HTML page served under an executable's or extension-less name gets the
// extension "htm", so that it is never taken for the program it replaced.
std::string docNameForContent(const std::string& name, const std::string& contentType);
