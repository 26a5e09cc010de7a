#pragma once

#include <functional>

#include "window/menu_item.h"

// How a menu's clicks run: the window passes each through the loop's guard,
// so an escaping error becomes a message box; tests run them as they are.
using ClickGuard = std::function<void(const std::function<void()>&)>;

// Gives the item its own action, run through the guard.
void bindClick(MenuItem& item, const ClickGuard& guard, std::function<void()> action);
