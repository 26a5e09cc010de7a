#include "app/menu_binding.h"

void bindClick(MenuItem& item, const ClickGuard& guard, std::function<void()> action) {
    item.setOnClick([guard, action = std::move(action)](MenuItem&) {
        if (guard) {
            guard(action);
        } else {
            action();
        }
    });
}
