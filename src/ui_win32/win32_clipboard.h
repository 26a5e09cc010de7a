#pragma once

#include <windows.h>

#include <string_view>

// Puts UTF-8 text on the clipboard as Unicode text (CF_UNICODETEXT), for
// every program to paste; the owner is the window that copies. False when the
// clipboard could not be had or the memory not given.
bool putTextOnClipboard(HWND owner, std::string_view text);
