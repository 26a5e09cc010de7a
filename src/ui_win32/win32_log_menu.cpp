#include "ui_win32/win32_log_menu.h"

#include <string>

#include "platform_win32/win32_text.h"
#include "window/log_copy.h"

namespace {

void addItem(HMENU menu, UINT command, std::string_view caption, const wchar_t* keys, bool usable) {
    const std::wstring text = utf8ToWide(caption) + L'\t' + keys;
    AppendMenuW(menu, MF_STRING | (usable ? MF_ENABLED : MF_GRAYED), command, text.c_str());
}

}  // namespace

HMENU createLogMenu(bool canCopy, bool canSelectAll) {
    const HMENU menu = CreatePopupMenu();
    addItem(menu, kLogMenuCopy, kLogCopyCaption, L"Ctrl+C", canCopy);
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    addItem(menu, kLogMenuSelectAll, kLogSelectAllCaption, L"Ctrl+A", canSelectAll);
    return menu;
}
