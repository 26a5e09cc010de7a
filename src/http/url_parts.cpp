#include "http/url_parts.h"

#include <algorithm>

#include "base/text.h"

namespace {

bool startsWith(const std::string& text, const std::string& prefix) {
    return text.compare(0, prefix.size(), prefix) == 0;
}


bool isSchemeChar(char c) {
    return (c >= 'a' && c <= 'z') || (c >= '0' && c <= '9') || c == '+' || c == '-' || c == '.';
}

// "./x" and "../x" against the directory of the previous path.
std::string relativePath(std::string rest, const std::string& previousPath) {
    const auto slash = previousPath.rfind('/');
    std::string directory = slash == std::string::npos ? "/" : previousPath.substr(0, slash + 1);
    for (;;) {
        if (startsWith(rest, "./")) {
            rest.erase(0, 2);
        } else if (startsWith(rest, "../")) {
            rest.erase(0, 3);
            if (directory.size() > 1) {
                directory.pop_back();
                directory.erase(directory.rfind('/') + 1);
            }
        } else {
            return directory + rest;
        }
    }
}

// host[:port] with optional user[:password]@ in front.
void splitAuthority(const std::string& authority, UrlParts& parts) {
    const auto at = authority.rfind('@');
    const auto colon = authority.rfind(':');
    std::size_t hostEnd = authority.size();
    if (colon != std::string::npos && (at == std::string::npos || colon > at)) {
        parts.port = authority.substr(colon + 1);
        hostEnd = colon;
    }
    std::size_t hostBegin = 0;
    if (at != std::string::npos) {
        const std::string userInfo = authority.substr(0, at);
        const auto split = userInfo.find(':');
        parts.user = userInfo.substr(0, split);
        if (split != std::string::npos) parts.password = userInfo.substr(split + 1);
        hostBegin = at + 1;
    }
    parts.host = authority.substr(hostBegin, hostEnd - hostBegin);
}

void splitAuthorityAndPath(const std::string& rest, UrlParts& parts) {
    const auto pathBegin = rest.find_first_of("/?");
    if (pathBegin != std::string::npos) parts.path = rest.substr(pathBegin);
    splitAuthority(rest.substr(0, pathBegin), parts);
}

}  // namespace

UrlParts parseUrl(const std::string& url, const std::string& previousPath) {
    UrlParts parts;
    if (startsWith(url, "./") || startsWith(url, "../")) {
        parts.path = relativePath(url, previousPath);
        return parts;
    }
    std::size_t restBegin = 0;
    const auto separator = url.find("://");
    if (separator != std::string::npos) {
        const std::string scheme = asciiLowerCase(url.substr(0, separator));
        if (std::all_of(scheme.begin(), scheme.end(), isSchemeChar)) {
            parts.protocol = scheme;
            splitAuthorityAndPath(url.substr(separator + 3), parts);
            return parts;
        }
        parts.protocol = "http";
    }
    if (startsWith(url, "/") && !startsWith(url, "//")) {
        parts.protocol = "http";
        parts.path = url;
        return parts;
    }
    if (startsWithIgnoringAsciiCase(url, "http:")) {
        parts.protocol = "http";
        if (url.size() < 7 || url[6] != '/') {
            parts.path = url.substr(5);
            return parts;
        }
        restBegin = 5;
    } else if (startsWithIgnoringAsciiCase(url, "mailto:")) {
        parts.protocol = "mailto";
        restBegin = 7;
    }
    splitAuthorityAndPath(url.substr(restBegin), parts);
    return parts;
}

bool holdsControlCharacter(const std::string& text) {
    for (const char c : text) {
        const auto byte = static_cast<unsigned char>(c);
        if (byte < 0x20 || byte == 0x7F) return true;
    }
    return false;
}
