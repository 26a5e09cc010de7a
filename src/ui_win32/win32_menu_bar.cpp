#include "ui_win32/win32_menu_bar.h"

#include <optional>

#include "platform_win32/win32_text.h"
#include "ui_win32/win32_shortcut.h"
#include "window/shown_in_menu.h"

namespace {

// The tab puts the shortcut in the menu's shortcut column.
std::wstring menuText(const MenuItem& item) {
    std::wstring text = utf8ToWide(item.caption());
    if (!item.shortcut().empty()) text += L'\t' + utf8ToWide(item.shortcut());
    return text;
}

}  // namespace

Win32MenuBar::Win32MenuBar(MainMenu& menu, MessagePump& pump)
    : menu_(menu), pump_(pump), bar_(CreateMenu()) {
    for (MenuItem* top : menu.topLevel()) topLevel_.push_back(&add(*top, nullptr));
    // Each item goes in after those before it, so a visible one lands at its place.
    for (const auto& entry : entries_) apply(*entry);
    for (const auto& entry : entries_) {
        connections_.push_back(entry->item->changed.connect(
            [this, at = entry.get()](const MenuItem&) { applyWithSiblings(*at); }));
    }
}

Win32MenuBar::~Win32MenuBar() {
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
    if (bar_ == nullptr) return;  // gone with its window
    windowDestroyed();
    // Still here: the bar was never given to a window.
    if (bar_ != nullptr) DestroyMenu(bar_);
}

void Win32MenuBar::windowDestroyed() {
    connections_.clear();
    // A menu in the tree went with the window; a hidden one was taken out of
    // it and goes here, each hidden one inside it apart.
    for (const auto& entry : entries_) {
        if (entry->popup != nullptr && !entry->inserted) DestroyMenu(entry->popup);
        entry->popup = nullptr;
    }
    byPopup_.clear();
    if (window_ != nullptr) bar_ = nullptr;
    window_ = nullptr;
}

Win32MenuBar::Entry& Win32MenuBar::add(MenuItem& item, Entry* parent) {
    auto owned = std::make_unique<Entry>();
    Entry& entry = *owned;
    entry.item = &item;
    entry.parent = parent;
    entry.index = static_cast<WORD>(entries_.size());
    entry.shortcut = item.shortcut();
    entries_.push_back(std::move(owned));
    byItem_[&item] = &entry;
    if (!item.children().empty()) {
        entry.popup = CreatePopupMenu();
        byPopup_[entry.popup] = &entry;
        for (MenuItem* child : item.children()) entry.children.push_back(&add(*child, &entry));
    }
    return entry;
}

HMENU Win32MenuBar::containerOf(const Entry& entry) const {
    return entry.parent == nullptr ? bar_ : entry.parent->popup;
}

// Hidden items are not in their menu: the place is the count of shown ones before.
UINT Win32MenuBar::positionOf(const Entry& entry) const {
    const std::vector<Entry*>& siblings =
        entry.parent == nullptr ? topLevel_ : entry.parent->children;
    UINT position = 0;
    for (const Entry* sibling : siblings) {
        if (sibling == &entry) break;
        if (sibling->inserted) ++position;
    }
    return position;
}

MENUITEMINFOW Win32MenuBar::infoOf(const Entry& entry, std::wstring& text) const {
    const MenuItem& item = *entry.item;
    MENUITEMINFOW info{};
    info.cbSize = sizeof info;
    info.fMask = MIIM_ID | MIIM_FTYPE | MIIM_STATE;
    info.wID = kFirstItemCommand + entry.index;
    info.fState = (item.enabled() ? MFS_ENABLED : MFS_GRAYED) |
                  (item.checked() ? MFS_CHECKED : MFS_UNCHECKED);
    if (item.isSeparator()) {
        info.fType = MFT_SEPARATOR;
        return info;
    }
    info.fType = MFT_STRING;
    info.fMask |= MIIM_STRING;
    text = menuText(item);
    info.dwTypeData = text.data();
    if (entry.popup != nullptr) {
        info.fMask |= MIIM_SUBMENU;
        info.hSubMenu = entry.popup;
    }
    return info;
}

void Win32MenuBar::apply(Entry& entry) {
    const MenuItem& item = *entry.item;
    const HMENU container = containerOf(entry);
    const UINT position = positionOf(entry);
    std::wstring text;
    const MENUITEMINFOW info = infoOf(entry, text);
    if (!shownInMenu(item)) {
        // RemoveMenu, unlike DeleteMenu, keeps a submenu for its return.
        if (entry.inserted) RemoveMenu(container, position, MF_BYPOSITION);
        entry.inserted = false;
    } else if (!entry.inserted) {
        entry.inserted = InsertMenuItemW(container, position, TRUE, &info) != FALSE;
    } else {
        SetMenuItemInfoW(container, position, TRUE, &info);
    }
    if (entry.shortcut != item.shortcut()) {
        entry.shortcut = item.shortcut();
        acceleratorsStale_ = true;
    }
    if (entry.parent == nullptr && window_ != nullptr) DrawMenuBar(window_);
}

// An item shown or hidden may show or hide a separator beside it.
void Win32MenuBar::applyWithSiblings(Entry& entry) {
    if (entry.parent == nullptr) {
        apply(entry);
        return;
    }
    for (Entry* sibling : entry.parent->children) apply(*sibling);
}

bool Win32MenuBar::command(WORD id, bool fromAccelerator) {
    const WORD first = fromAccelerator ? kFirstShortcutCommand : kFirstItemCommand;
    if (id < first || static_cast<std::size_t>(id - first) >= entries_.size()) return false;
    MenuItem& item = *entries_[id - first]->item;
    if (fromAccelerator) {
        // The model decides: a hidden item's key still works, a disabled
        // item's (or one under a disabled menu) does nothing.
        const std::string shortcut = item.shortcut();
        pump_.guarded([&] { menu_.pressShortcut(shortcut); });
    } else {
        pump_.guarded([&] { item.click(); });
    }
    return true;
}

bool Win32MenuBar::opening(HMENU popup) {
    const auto found = byPopup_.find(popup);
    if (found == byPopup_.end()) return false;
    MenuItem& item = *found->second->item;
    pump_.guarded([&] { item.click(); });
    return true;
}

void Win32MenuBar::rebuildAccelerators() {
    acceleratorsStale_ = false;
    if (accelerators_ != nullptr) DestroyAcceleratorTable(accelerators_);
    accelerators_ = nullptr;
    std::vector<ACCEL> table;
    for (const auto& entry : entries_) {
        const MenuItem& item = *entry->item;
        if (item.isSeparator() || item.shortcut().empty()) continue;
        const auto accel = acceleratorFor(item.shortcut(),
                                          static_cast<WORD>(kFirstShortcutCommand + entry->index));
        if (accel) table.push_back(*accel);
    }
    if (!table.empty()) {
        accelerators_ = CreateAcceleratorTableW(table.data(), static_cast<int>(table.size()));
    }
}

bool Win32MenuBar::translateAccelerator(MSG& message) {
    if (window_ == nullptr || (message.hwnd != window_ && !IsChild(window_, message.hwnd))) {
        return false;
    }
    if (acceleratorsStale_) rebuildAccelerators();
    return accelerators_ != nullptr && TranslateAcceleratorW(window_, accelerators_, &message) != 0;
}

WORD Win32MenuBar::commandOf(const MenuItem& item) const {
    const auto found = byItem_.find(&item);
    if (found == byItem_.end() || found->second->popup != nullptr) return 0;
    return static_cast<WORD>(kFirstItemCommand + found->second->index);
}

HMENU Win32MenuBar::popupOf(const MenuItem& item) const {
    const auto found = byItem_.find(&item);
    return found == byItem_.end() ? nullptr : found->second->popup;
}
