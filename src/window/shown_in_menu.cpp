#include "window/shown_in_menu.h"

#include <algorithm>
#include <iterator>

bool shownInMenu(const MenuItem& item) {
    if (!item.visible()) return false;
    if (!item.isSeparator() || item.parent() == nullptr) return true;
    const std::vector<MenuItem*>& siblings = item.parent()->children();
    const auto at = std::find(siblings.begin(), siblings.end(), &item);
    // The nearest visible sibling before it is an item: a separator there
    // already stands for both.
    const auto before = std::find_if(std::make_reverse_iterator(at), siblings.rend(),
                                     [](const MenuItem* s) { return s->visible(); });
    if (before == siblings.rend() || (*before)->isSeparator()) return false;
    // Some item follows before the menu ends.
    return std::any_of(at + 1, siblings.end(),
                       [](const MenuItem* s) { return s->visible() && !s->isSeparator(); });
}
