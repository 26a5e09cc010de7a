#pragma once

#include <string>

// The pieces of an address, each empty when the address has none.
struct UrlParts {
    std::string protocol;
    std::string user;
    std::string password;
    std::string host;
    std::string port;
    std::string path;
    bool operator==(const UrlParts&) const = default;
};

// Splits an address. A text beginning with "./" or "../" is a path relative
// to the directory of previousPath, and only the path is set.
UrlParts parseUrl(const std::string& url, const std::string& previousPath = "");

// A byte below 0x20 or 0x7F: in a request line it would end the line, or
// start a header of the server's choosing.
bool holdsControlCharacter(const std::string& text);
