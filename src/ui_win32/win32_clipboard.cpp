#include "ui_win32/win32_clipboard.h"

#include <cstring>
#include <string>

#include "platform_win32/win32_text.h"

namespace {

// The text in memory the clipboard can take over, ended by a zero.
HGLOBAL globalCopy(const std::wstring& text) {
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    const HGLOBAL memory = GlobalAlloc(GMEM_MOVEABLE, bytes);
    if (memory == nullptr) return nullptr;
    void* at = GlobalLock(memory);
    if (at == nullptr) {
        GlobalFree(memory);
        return nullptr;
    }
    std::memcpy(at, text.c_str(), bytes);
    GlobalUnlock(memory);
    return memory;
}

}  // namespace

bool putTextOnClipboard(HWND owner, std::string_view text) {
    std::wstring wide;
    utf8ToWideInto(text, wide);
    const HGLOBAL memory = globalCopy(wide);
    if (memory == nullptr) return false;
    if (!OpenClipboard(owner)) {
        GlobalFree(memory);
        return false;
    }
    EmptyClipboard();
    // Once set, the memory is the clipboard's.
    const bool set = SetClipboardData(CF_UNICODETEXT, memory) != nullptr;
    if (!set) GlobalFree(memory);
    CloseClipboard();
    return set;
}
