#include "platform_win32/win32_text.h"

#include <windows.h>

#include <climits>
#include <stdexcept>

namespace {

// The conversion calls count in int; nothing the program handles comes near.
int checkedLength(std::size_t size) {
    if (size > static_cast<std::size_t>(INT_MAX)) throw std::length_error("text too long");
    return static_cast<int>(size);
}

}  // namespace

std::wstring utf8ToWide(std::string_view text) {
    std::wstring wide;
    utf8ToWideInto(text, wide);
    return wide;
}

void utf8ToWideInto(std::string_view text, std::wstring& out) {
    out.clear();
    if (text.empty()) return;
    const int length = checkedLength(text.size());
    // Without MB_ERR_INVALID_CHARS each malformed sequence becomes U+FFFD.
    const int needed = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, nullptr, 0);
    if (needed <= 0) return;
    out.resize(static_cast<std::size_t>(needed));
    const int written = MultiByteToWideChar(CP_UTF8, 0, text.data(), length, out.data(), needed);
    out.resize(static_cast<std::size_t>(written > 0 ? written : 0));
}

std::string wideToUtf8(std::wstring_view text) {
    if (text.empty()) return {};
    const int length = checkedLength(text.size());
    const int needed =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, nullptr, 0, nullptr, nullptr);
    if (needed <= 0) return {};
    std::string utf8(static_cast<std::size_t>(needed), '\0');
    const int written =
        WideCharToMultiByte(CP_UTF8, 0, text.data(), length, utf8.data(), needed, nullptr, nullptr);
    utf8.resize(static_cast<std::size_t>(written > 0 ? written : 0));
    return utf8;
}

std::string windowsErrorText(unsigned long code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring text(buffer != nullptr ? buffer : L"", length);
    if (buffer != nullptr) LocalFree(buffer);
    while (!text.empty() && (text.back() == L'\n' || text.back() == L'\r' || text.back() == L' ')) {
        text.pop_back();
    }
    if (text.empty()) return "error " + std::to_string(code);
    return wideToUtf8(text);
}
