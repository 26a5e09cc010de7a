#pragma once

#include <windows.h>

#include <optional>
#include <string_view>

// The accelerator of a menu item's shortcut text ("F2", "Ctrl+F12",
// "Shift+F12"), which runs the given command; none for a text the keyboard
// cannot give.
std::optional<ACCEL> acceleratorFor(std::string_view shortcut, WORD command);
