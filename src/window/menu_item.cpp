#include "window/menu_item.h"

MenuItem::MenuItem(std::string name, std::string caption, std::string shortcut)
    : name_(std::move(name)), caption_(std::move(caption)), shortcut_(std::move(shortcut)) {}

void MenuItem::setHint(std::string hint) {
    hint_ = std::move(hint);
    changed(*this);
}

void MenuItem::setShortcut(std::string shortcut) {
    if (shortcut_ == shortcut) return;
    shortcut_ = std::move(shortcut);
    changed(*this);
}

void MenuItem::setEnabled(bool on) {
    if (enabled_ == on) return;
    enabled_ = on;
    changed(*this);
}

void MenuItem::setVisible(bool on) {
    if (visible_ == on) return;
    visible_ = on;
    changed(*this);
}

void MenuItem::setChecked(bool on) {
    if (checked_ == on) return;
    checked_ = on;
    changed(*this);
}

void MenuItem::add(MenuItem& child) {
    child.parent_ = this;
    children_.push_back(&child);
}

void MenuItem::click() {
    if (onClick_) onClick_(*this);
}
