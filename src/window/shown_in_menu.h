#pragma once

#include "window/menu_item.h"

// Whether an open menu shows the item. A visible item shows; a separator
// shows only between two shown items that are no separators, so that hiding
// the items between two separators, or the last ones of a menu, leaves
// neither two separators together nor one at either end. Of separators that
// would meet, the first shows.
bool shownInMenu(const MenuItem& item);
