#pragma once

#include <windows.h>

// The log's context menu, worded as on every system: "Копировать" and
// "Выделить всё" with their keys, each greyed while it has nothing to act on.
// Its commands are what TrackPopupMenu returns; the caller destroys the menu.
enum LogMenuCommand : UINT { kLogMenuCopy = 1, kLogMenuSelectAll = 2 };

HMENU createLogMenu(bool canCopy, bool canSelectAll);
