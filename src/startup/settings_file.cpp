#include "startup/settings_file.h"

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdint>
#include <filesystem>
#include <fstream>
#include <optional>
#include <sstream>
#include <string_view>
#include <system_error>
#include <vector>

#include "base/errors.h"
#include "base/file_path.h"
#include "base/text.h"

#if defined(__unix__) || defined(__APPLE__)
#include <fcntl.h>
#include <unistd.h>
#elif defined(_WIN32)
#include <fcntl.h>
#include <io.h>
#endif

namespace fs = std::filesystem;

namespace {

// ---- The text of the file, line by line -------------------------------------

// A line keeps its own ending, so that a rewrite leaves the lines it does not
// change exactly as they were, CR LF or LF.
struct Line {
    std::string text;
    std::string ending;  // "\r\n", "\n", or "" for a last line without one
};

using Lines = std::vector<Line>;

Lines splitLines(const std::string& content) {
    Lines lines;
    std::size_t start = 0;
    while (start < content.size()) {
        const std::size_t newline = content.find('\n', start);
        if (newline == std::string::npos) {
            lines.push_back({content.substr(start), ""});
            break;
        }
        const bool crlf = newline > start && content[newline - 1] == '\r';
        const std::size_t end = crlf ? newline - 1 : newline;
        lines.push_back({content.substr(start, end - start), crlf ? "\r\n" : "\n"});
        start = newline + 1;
    }
    return lines;
}

std::string joinLines(const Lines& lines) {
    std::string content;
    for (const Line& line : lines) content += line.text + line.ending;
    return content;
}

// New lines follow the file's own convention; a new file the platform's.
std::string endingFor(const Lines& lines) {
    for (const Line& line : lines) {
        if (!line.ending.empty()) return line.ending;
    }
#ifdef _WIN32
    return "\r\n";
#else
    return "\n";
#endif
}

// ---- What a line means ------------------------------------------------------

struct Entry {
    std::string_view key;
    std::string_view value;
};

// The meaningful part of a line: an editor's byte-order mark in front of the
// first line is not part of its text.
std::string_view contentOf(const Lines& lines, std::size_t index) {
    std::string_view text = lines[index].text;
    if (index == 0 && text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    return trimmed(text);
}

std::optional<std::string_view> sectionOf(std::string_view content) {
    if (!content.starts_with('[')) return std::nullopt;
    const std::size_t close = content.find(']');
    if (close == std::string_view::npos) return std::nullopt;
    return trimmed(content.substr(1, close - 1));
}

std::optional<Entry> entryOf(std::string_view content) {
    if (content.empty() || content.front() == ';' || content.front() == '#') return std::nullopt;
    if (content.front() == '[') return std::nullopt;
    const std::size_t equals = content.find('=');
    if (equals == std::string_view::npos) return std::nullopt;
    const std::string_view key = trimmed(content.substr(0, equals));
    if (key.empty()) return std::nullopt;
    return Entry{key, trimmed(content.substr(equals + 1))};
}

// Where a key stands: the line of its first occurrence in a section of that
// name, and the first section of that name (for adding the key to it).
struct Place {
    std::optional<std::size_t> entry;
    std::optional<std::size_t> section;
};

Place find(const Lines& lines, std::string_view section, std::string_view key) {
    Place place;
    bool inside = false;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        const std::string_view content = contentOf(lines, i);
        if (const auto name = sectionOf(content)) {
            inside = equalsIgnoringAsciiCase(*name, section);
            if (inside && !place.section) place.section = i;
            continue;
        }
        if (!inside) continue;
        const auto entry = entryOf(content);
        if (entry && equalsIgnoringAsciiCase(entry->key, key)) {
            place.entry = i;
            return place;
        }
    }
    return place;
}

// The line after the last non-blank line of the section that opens at header.
std::size_t endOfSection(const Lines& lines, std::size_t header) {
    std::size_t end = header + 1;
    for (std::size_t i = header + 1; i < lines.size(); ++i) {
        const std::string_view content = contentOf(lines, i);
        if (sectionOf(content)) break;
        if (!content.empty()) end = i + 1;
    }
    return end;
}

void insertLine(Lines& lines, std::size_t at, std::string text) {
    const std::string ending = endingFor(lines);
    if (at > 0 && lines[at - 1].ending.empty()) lines[at - 1].ending = ending;
    lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(at), Line{std::move(text), ending});
}

void setValue(Lines& lines, const std::string& section, const std::string& key,
              const std::string& value) {
    const Place place = find(lines, section, key);
    if (place.entry) {
        Line& line = lines[*place.entry];
        const auto entry = entryOf(contentOf(lines, *place.entry));
        const std::string keyText(entry->key);
        const bool marked = *place.entry == 0 && line.text.starts_with("\xEF\xBB\xBF");
        line.text = (marked ? "\xEF\xBB\xBF" : "") + keyText + "=" + value;
    } else if (place.section) {
        insertLine(lines, endOfSection(lines, *place.section), key + "=" + value);
    } else {
        insertLine(lines, lines.size(), "[" + section + "]");
        insertLine(lines, lines.size(), key + "=" + value);
    }
}

// ---- Values -----------------------------------------------------------------

// Decimal, or hexadecimal after "0x", "0X" or "$", with an optional sign.
// Hexadecimal takes up to 32 bits, so "$FFFFFFFF" is -1.
std::optional<int> parseInteger(std::string_view text) {
    bool negative = false;
    if (!text.empty() && (text.front() == '-' || text.front() == '+')) {
        negative = text.front() == '-';
        text.remove_prefix(1);
    }
    int base = 10;
    if (text.starts_with("0x") || text.starts_with("0X")) {
        base = 16;
        text.remove_prefix(2);
    } else if (text.starts_with('$')) {
        base = 16;
        text.remove_prefix(1);
    }
    if (text.empty()) return std::nullopt;
    const std::uint64_t limit = base == 16 ? 0xFFFFFFFFull
                                : negative ? 0x80000000ull
                                           : 0x7FFFFFFFull;
    std::uint64_t value = 0;
    for (char c : text) {
        const int digit = digitValue(c, static_cast<unsigned>(base));
        if (digit < 0) return std::nullopt;
        value = value * static_cast<std::uint64_t>(base) + static_cast<std::uint64_t>(digit);
        if (value > limit) return std::nullopt;
    }
    const auto bits = static_cast<std::uint32_t>(value);
    return static_cast<std::int32_t>(negative ? 0u - bits : bits);
}

// ---- The file on disk -------------------------------------------------------

// The file's content; empty when it does not exist; nothing when it exists
// but cannot be read.
std::optional<std::string> readContent(const fs::path& file) {
    std::error_code error;
    if (!fs::exists(file, error)) {
        if (error) return std::nullopt;
        return std::string();
    }
    std::ifstream in(file, std::ios::binary);
    if (!in) return std::nullopt;
    std::ostringstream content;
    content << in.rdbuf();
    if (in.bad()) return std::nullopt;
    return content.str();
}

// Pushes the file's data to the disk before it replaces the old file, so that
// a power failure leaves the old file or the new one, never an empty one.
bool syncToDisk([[maybe_unused]] const fs::path& file) {
#if defined(__unix__) || defined(__APPLE__)
    const int fd = ::open(file.c_str(), O_RDONLY);
    if (fd < 0) return false;
    const bool synced = ::fsync(fd) == 0;
    return ::close(fd) == 0 && synced;
#elif defined(_WIN32)
    // Windows flushes only through a handle that may write.
    const int fd = ::_wopen(file.c_str(), _O_WRONLY | _O_BINARY);
    if (fd < 0) return false;
    const bool synced = ::_commit(fd) == 0;
    return ::_close(fd) == 0 && synced;
#else
    return true;
#endif
}

fs::path temporaryBeside(const fs::path& target) {
    static std::atomic<unsigned> counter{0};
    const auto now = std::chrono::steady_clock::now().time_since_epoch().count();
    fs::path temporary = target;
    temporary += ".~" + std::to_string(now) + "-" + std::to_string(counter++) + ".tmp";
    return temporary;
}

// Writes a complete new file beside the old one and renames it over the old:
// a crash or a full disk leaves the old file whole.
bool writeAtomically(const fs::path& file, const std::string& content) {
    std::error_code error;
    // A link stays a link: the file it points to is the one replaced.
    fs::path target = file;
    if (fs::symlink_status(file, error).type() == fs::file_type::symlink) {
        target = fs::weakly_canonical(file, error);
        if (error) return false;
    }
    const fs::path temporary = temporaryBeside(target);
    bool written = false;
    {
        std::ofstream out(temporary, std::ios::binary | std::ios::trunc);
        out.write(content.data(), static_cast<std::streamsize>(content.size()));
        out.close();
        written = !out.fail();
    }
    if (written && syncToDisk(temporary)) {
        fs::rename(temporary, target, error);
        if (!error) return true;
    }
    fs::remove(temporary, error);
    return false;
}

}  // namespace

SettingsFile::SettingsFile(std::string path) : path_(std::move(path)) {}

int SettingsFile::readInteger(const std::string& section, const std::string& key,
                              int defaultValue) const {
    const std::string text = readString(section, key, std::string());
    return parseInteger(text).value_or(defaultValue);
}

std::string SettingsFile::readString(const std::string& section, const std::string& key,
                                     const std::string& defaultValue) const {
    const auto content = readContent(pathFromUtf8(path_));
    if (!content) return defaultValue;
    const Lines lines = splitLines(*content);
    const Place place = find(lines, section, key);
    if (!place.entry) return defaultValue;
    return std::string(entryOf(contentOf(lines, *place.entry))->value);
}

void SettingsFile::writeInteger(const std::string& section, const std::string& key, int value) {
    writeString(section, key, std::to_string(value));
}

void SettingsFile::writeString(const std::string& section, const std::string& key,
                               const std::string& value) {
    const fs::path file = pathFromUtf8(path_);
    // A file that exists but cannot be read is not replaced: its other
    // settings would be lost.
    const auto content = readContent(file);
    if (!content) throw AppError("Unable to write to " + path_);
    Lines lines = splitLines(*content);
    setValue(lines, section, key, value);
    if (!writeAtomically(file, joinLines(lines))) throw AppError("Unable to write to " + path_);
}
