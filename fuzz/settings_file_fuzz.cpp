// Any bytes as the settings file. For the names the file itself holds (and two
// the program uses), whatever the reader reads, written back and read again,
// gives the same value under every name; a new value written under one name
// reads back as written and leaves every other name's value as it was. Integer
// values read as the from_chars reading of their text, or the default.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "startup/settings_file.h"
#include "base/text.h"
#include "fuzz_check.h"
#include "reference_numbers.h"
#include "scratch_file.h"

namespace {

struct Name {
    std::string section;
    std::string key;
};

constexpr std::size_t kMostNames = 8;
constexpr int kDefault = 0x7A5A5A5A;

bool sameName(std::string_view a, std::string_view b) {
    const auto lower = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(),
                                              [&](char x, char y) { return lower(x) == lower(y); });
}

bool same(const Name& a, const Name& b) {
    return sameName(a.section, b.section) && sameName(a.key, b.key);
}

// A name as the program writes one: it reads back as itself. Names with a
// bracket, an equals sign or a comment's mark would read as other lines.
bool writable(std::string_view name, bool isKey) {
    if (name != trimmed(name) || name.find_first_of("[]=\n") != std::string_view::npos) {
        return false;
    }
    return !isKey || (!name.empty() && name.front() != ';' && name.front() != '#');
}

// The section and key names that appear in the text, found the simple way.
std::vector<Name> namesIn(std::string_view text) {
    std::vector<Name> names{{"VIEW", "LEFT"}, {"UPDATE", "SERVER"}};
    std::string section;
    while (!text.empty() && names.size() < kMostNames) {
        const auto end = std::min(text.find('\n'), text.size());
        const std::string_view line = trimmed(text.substr(0, end));
        text.remove_prefix(std::min(end + 1, text.size()));
        if (line.starts_with('[') && line.find(']') != std::string_view::npos) {
            section = std::string(trimmed(line.substr(1, line.find(']') - 1)));
            continue;
        }
        const std::string_view key = trimmed(line.substr(0, line.find('=')));
        if (line.find('=') == std::string_view::npos || !writable(section, false) ||
            !writable(key, true)) {
            continue;
        }
        names.push_back({section, std::string(key)});
    }
    return names;
}

std::vector<std::string> valuesOf(const SettingsFile& settings, const std::vector<Name>& names) {
    std::vector<std::string> values;
    for (const Name& name : names) {
        values.push_back(settings.readString(name.section, name.key, "(none)"));
    }
    return values;
}

std::optional<int> referenceInteger(std::string_view text) {
    std::string_view digits = text;
    const bool negative = digits.starts_with('-');
    if (digits.starts_with('+') || negative) digits.remove_prefix(1);
    for (std::string_view prefix : {"0x", "0X", "$"}) {
        if (!digits.starts_with(prefix)) continue;
        const auto bits = referenceDigits(digits.substr(prefix.size()), 16);
        if (!bits || *bits > 0xFFFFFFFFu) return std::nullopt;
        const auto value = static_cast<std::uint32_t>(*bits);
        return static_cast<std::int32_t>(negative ? 0u - value : value);
    }
    const auto value = referenceSignedDecimal(text, INT32_MIN, INT32_MAX);
    if (!value) return std::nullopt;
    return static_cast<int>(*value);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    static const ScratchFile file("Telvarn.ini");
    const std::string_view text(reinterpret_cast<const char*>(data), size);
    file.write(text);
    SettingsFile settings(file.path());
    const auto names = namesIn(text);
    const auto values = valuesOf(settings, names);

    for (std::size_t i = 0; i < names.size(); ++i) {
        const std::string& value = values[i];
        const int integer = settings.readInteger(names[i].section, names[i].key, kDefault);
        const std::string_view number = value == "(none)" ? "" : trimmed(value);
        require(integer == referenceInteger(number).value_or(kDefault),
                "an integer reads as the reference reading of its text");
        if (value == "(none)") continue;
        settings.writeString(names[i].section, names[i].key, value);
        require(settings.readString(names[i].section, names[i].key, "") == value,
                "a value written back reads the same");
    }
    require(valuesOf(settings, names) == values, "values written back leave every value as read");

    // A new value under the last name, which may be one the file lacks.
    const std::string fresh = "fresh " + std::to_string(size);
    settings.writeString(names.back().section, names.back().key, fresh);
    const auto after = valuesOf(settings, names);
    for (std::size_t i = 0; i < names.size(); ++i) {
        const bool written = same(names[i], names.back());
        require(after[i] == (written ? fresh : values[i]),
                "a new value reads as written and leaves the others");
    }
    return 0;
}
