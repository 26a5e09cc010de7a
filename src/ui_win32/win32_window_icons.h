#pragma once

#include <windows.h>

// The program's own icon, resource 1 of the module (Telvarn.exe carries it),
// at a size in pixels; null when the module has none. The caller destroys it.
HICON loadProgramIcon(HMODULE module, int size);

// A window's big and small icon, drawn for its DPI from the program's own
// icon, or the system's application icon where the program has none.
class Win32WindowIcons {
  public:
    Win32WindowIcons() = default;
    ~Win32WindowIcons();
    Win32WindowIcons(const Win32WindowIcons&) = delete;
    Win32WindowIcons& operator=(const Win32WindowIcons&) = delete;

    // Gives the window its icons at the DPI; those it had before go.
    void apply(HWND window, UINT dpi);

  private:
    HICON big_ = nullptr;
    HICON small_ = nullptr;
};
