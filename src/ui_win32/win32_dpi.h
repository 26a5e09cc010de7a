#pragma once

#include <windows.h>

// The screen's dots per inch that a window is laid out for. The calls that
// tell it came with Windows 10; an older system or a Wine without them is
// taken at the 96 of a plain screen.
inline constexpr UINT kPlainDpi = 96;

UINT dpiOfWindow(HWND window);
// A length in pixels at the plain 96 DPI, at the DPI given.
int scaledForDpi(int pixels, UINT dpi);
// The system's message font (menus, dialogs) at the DPI given; the caller
// deletes it.
HFONT createMessageFont(UINT dpi);
