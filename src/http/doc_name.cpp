#include "http/doc_name.h"

#include "base/text.h"

namespace {

std::string beforeQuery(const std::string& text) {
    return text.substr(0, text.find('?'));
}

}  // namespace

std::string docNameOfPath(const std::string& path) {
    const std::string name = beforeQuery(path);
    if (name.empty() || name.back() == '/') return "document.htm";
    return beforeQuery(name.substr(name.rfind('/') + 1));
}

std::string docNameForContent(const std::string& name, const std::string& contentType) {
    if (contentType != "text/html") return name;
    const auto dot = name.rfind('.');
    if (dot == std::string::npos) return name + ".htm";
    const std::string extension = name.substr(dot);
    if (extension == "." || equalsIgnoringAsciiCase(extension, ".exe")) return name.substr(0, dot) + ".htm";
    return name;
}
