#include "link/port_list.h"

#include <algorithm>

#include "base/text.h"

void sortPortList(std::vector<std::string>& names) {
    std::stable_sort(names.begin(), names.end(), [](const std::string& a, const std::string& b) {
        return asciiLowerCase(a) < asciiLowerCase(b);
    });
}

std::vector<std::string> splitPortNames(const std::string& text) {
    std::vector<std::string> names;
    std::size_t from = 0;
    while (from <= text.size()) {
        auto comma = text.find(',', from);
        if (comma == std::string::npos) comma = text.size();
        std::string name(trimmed(std::string_view(text).substr(from, comma - from)));
        if (!name.empty()) names.push_back(std::move(name));
        from = comma + 1;
    }
    return names;
}
