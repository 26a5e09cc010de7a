#pragma once

#include <functional>
#include <string>
#include <vector>

#include "base/signal.h"

// One item of the menu bar: its state and the click action of its handler.
class MenuItem {
  public:
    MenuItem(std::string name, std::string caption, std::string shortcut = {});
    MenuItem(const MenuItem&) = delete;
    MenuItem& operator=(const MenuItem&) = delete;

    const std::string& name() const { return name_; }
    const std::string& caption() const { return caption_; }
    const std::string& hint() const { return hint_; }
    const std::string& shortcut() const { return shortcut_; }
    bool enabled() const { return enabled_; }
    bool visible() const { return visible_; }
    bool checked() const { return checked_; }
    bool isSeparator() const { return caption_ == "-"; }
    MenuItem* parent() const { return parent_; }
    const std::vector<MenuItem*>& children() const { return children_; }

    void setHint(std::string hint);
    void setShortcut(std::string shortcut);
    void setEnabled(bool on);
    void setVisible(bool on);
    void setChecked(bool on);

    void add(MenuItem& child);
    void setOnClick(std::function<void(MenuItem&)> action) { onClick_ = std::move(action); }
    bool hasClickAction() const { return static_cast<bool>(onClick_); }
    // Runs the item's click action, if it has one.
    void click();

    // Emitted after any state change of this item.
    Signal<const MenuItem&> changed;

  private:
    std::string name_;
    std::string caption_;
    std::string hint_;
    std::string shortcut_;
    bool enabled_ = true;
    bool visible_ = true;
    bool checked_ = false;
    MenuItem* parent_ = nullptr;
    std::vector<MenuItem*> children_;
    std::function<void(MenuItem&)> onClick_;
};
