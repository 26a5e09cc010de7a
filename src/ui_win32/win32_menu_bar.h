#pragma once

#include <windows.h>

#include <map>
#include <memory>
#include <string>
#include <vector>

#include "base/message_pump.h"
#include "base/signal.h"
#include "window/main_menu.h"

// The window's menu bar built from the model's menu tree, following each
// item's state (a separator only where the model's menus show one), and the
// accelerator table of the items' shortcuts.
class Win32MenuBar {
  public:
    // Menu items' commands; the accelerators' commands name no menu item, so
    // that a key never opens a menu, and the model's rules decide what it reaches.
    static constexpr WORD kFirstItemCommand = 0x1000;
    static constexpr WORD kFirstShortcutCommand = 0x3000;

    Win32MenuBar(MainMenu& menu, MessagePump& pump);
    ~Win32MenuBar();
    Win32MenuBar(const Win32MenuBar&) = delete;
    Win32MenuBar& operator=(const Win32MenuBar&) = delete;

    HMENU handle() const { return bar_; }
    // The window the bar belongs to, redrawn when a top-level menu changes;
    // its menu from now on, destroyed with it.
    void attachTo(HWND window) { window_ = window; }
    // The window took the bar with it: the bar follows the model no longer.
    void windowDestroyed();

    // WM_COMMAND: a menu item's click, or a shortcut pressed. False when the
    // command is not one of the bar's.
    bool command(WORD id, bool fromAccelerator);
    // WM_INITMENUPOPUP: opening a menu is a click on its item, so that the
    // programmer menu refreshes itself as it opens.
    bool opening(HMENU popup);
    // Turns a key of the window into its item's command; true when it did.
    bool translateAccelerator(MSG& message);

    // The command of a leaf item, the popup of an item with children.
    WORD commandOf(const MenuItem& item) const;
    HMENU popupOf(const MenuItem& item) const;

  private:
    struct Entry {
        MenuItem* item = nullptr;
        Entry* parent = nullptr;
        std::vector<Entry*> children;
        HMENU popup = nullptr;
        WORD index = 0;
        bool inserted = false;
        std::string shortcut;
    };

    Entry& add(MenuItem& item, Entry* parent);
    void apply(Entry& entry);
    void applyWithSiblings(Entry& entry);
    HMENU containerOf(const Entry& entry) const;
    UINT positionOf(const Entry& entry) const;
    MENUITEMINFOW infoOf(const Entry& entry, std::wstring& text) const;
    void rebuildAccelerators();

    MainMenu& menu_;
    MessagePump& pump_;
    HMENU bar_;
    HWND window_ = nullptr;
    std::vector<std::unique_ptr<Entry>> entries_;
    std::vector<Entry*> topLevel_;
    std::map<const MenuItem*, Entry*> byItem_;
    std::map<HMENU, Entry*> byPopup_;
    HACCEL accelerators_ = nullptr;
    bool acceleratorsStale_ = true;
    // Ends with the bar, so that a model that outlives it calls nothing.
    std::vector<Connection> connections_;
};
