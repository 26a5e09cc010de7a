#include "ui_win32/win32_window_icons.h"

#include "ui_win32/win32_dpi.h"

namespace {

// The sizes of a big and a small icon on a plain screen.
constexpr int kBigIcon = 32;
constexpr int kSmallIcon = 16;

void destroy(HICON& icon) {
    if (icon != nullptr) DestroyIcon(icon);
    icon = nullptr;
}

// The system's stock icon is shared: never destroyed, so never kept.
HICON iconOrStock(HICON icon) {
    return icon != nullptr ? icon : LoadIconW(nullptr, MAKEINTRESOURCEW(32512));
}

}  // namespace

HICON loadProgramIcon(HMODULE module, int size) {
    return static_cast<HICON>(
        LoadImageW(module, MAKEINTRESOURCEW(1), IMAGE_ICON, size, size, LR_DEFAULTCOLOR));
}

Win32WindowIcons::~Win32WindowIcons() {
    destroy(big_);
    destroy(small_);
}

void Win32WindowIcons::apply(HWND window, UINT dpi) {
    const HMODULE program = GetModuleHandleW(nullptr);
    HICON big = loadProgramIcon(program, scaledForDpi(kBigIcon, dpi));
    HICON small = loadProgramIcon(program, scaledForDpi(kSmallIcon, dpi));
    SendMessageW(window, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(iconOrStock(big)));
    SendMessageW(window, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(iconOrStock(small)));
    destroy(big_);
    destroy(small_);
    big_ = big;
    small_ = small;
}
