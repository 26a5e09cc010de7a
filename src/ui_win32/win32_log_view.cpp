#include "ui_win32/win32_log_view.h"

#include <commctrl.h>
#include <windowsx.h>

#include <algorithm>
#include <climits>
#include <stdexcept>

#include "platform_win32/win32_text.h"
#include "ui_win32/win32_clipboard.h"
#include "ui_win32/win32_dpi.h"
#include "ui_win32/win32_log_menu.h"
#include "window/log_copy.h"

namespace {

// Measuring every line of a flood would cost more than showing it; the last
// ones of each update are enough to widen the column for long lines.
constexpr std::size_t kMeasuredLines = 256;
// Room for the list's own margins around a row's text, on a plain screen.
constexpr int kTextMargin = 16;

// A row's UTF-8 line as UTF-16 into a buffer kept for the next row: the list
// asks at every row it paints. Malformed bytes become U+FFFD.
void widenInto(std::string_view text, std::wstring& out) {
    // No log line comes near; the rest of such a line is left out.
    if (text.size() > static_cast<std::size_t>(INT_MAX)) text = text.substr(0, INT_MAX);
    utf8ToWideInto(text, out);
}

int rowCount(std::size_t count) {
    return static_cast<int>(std::min<std::size_t>(count, INT_MAX));
}

}  // namespace

Win32LogView::Win32LogView(Log& log, HWND parent, int controlId)
    : log_(log), parent_(parent), textMargin_(kTextMargin) {
    // No LVS_SINGLESEL: rows are selected several at a time, to be copied.
    list_ = CreateWindowExW(WS_EX_CLIENTEDGE, WC_LISTVIEWW, L"",
                            WS_CHILD | WS_VISIBLE | WS_TABSTOP | LVS_REPORT | LVS_OWNERDATA |
                                LVS_NOCOLUMNHEADER | LVS_SHOWSELALWAYS,
                            0, 0, 0, 0, parent,
                            reinterpret_cast<HMENU>(static_cast<INT_PTR>(controlId)),
                            GetModuleHandleW(nullptr), nullptr);
    if (list_ == nullptr) throw std::runtime_error("the log list could not be created");
    ListView_SetExtendedListViewStyle(list_, LVS_EX_FULLROWSELECT | LVS_EX_DOUBLEBUFFER);
    LVCOLUMNW column{};
    column.mask = LVCF_WIDTH;
    SendMessageW(list_, LVM_INSERTCOLUMNW, 0, reinterpret_cast<LPARAM>(&column));
    ListView_SetTextColor(list_, RGB(0, 0, 128));
    applyBackground(log.background());

    connections_.push_back(
        log.appended.connect([this](std::string_view) { markStale(log_.lines().size() - 1); }));
    // The row that held the line may show the next line appended in its place.
    connections_.push_back(log.lastDeleted.connect([this] { markStale(log_.lines().size()); }));
    connections_.push_back(log.cleared.connect([this] {
        stale_ = false;
        shown_ = 0;
        widest_ = 0;
        ListView_SetItemCountEx(list_, 0, 0);
        fitColumn();
    }));
    connections_.push_back(
        log.backgroundChanged.connect([this](Rgb colour) { applyBackground(colour); }));
    // A log that already has lines shows them from the start.
    stale_ = !log.lines().empty();
    flush();
}

void Win32LogView::markStale(std::size_t firstChanged) {
    firstStale_ = stale_ ? std::min(firstStale_, firstChanged) : firstChanged;
    stale_ = true;
    if (!updatePosted_) updatePosted_ = PostMessageW(parent_, kUpdateMessage, 0, 0) != FALSE;
}

void Win32LogView::flush() {
    updatePosted_ = false;
    if (!stale_) return;
    stale_ = false;
    const LineStore& lines = log_.lines();
    const std::size_t count = lines.size();
    // Only the rows from the old count on are painted anew; rows before it
    // whose line was replaced are named.
    ListView_SetItemCountEx(list_, rowCount(count), LVSICF_NOINVALIDATEALL | LVSICF_NOSCROLL);
    const std::size_t kept = std::min(shown_, count);
    if (firstStale_ < kept) {
        ListView_RedrawItems(list_, rowCount(firstStale_), rowCount(kept - 1));
    }
    measure(firstStale_);
    shown_ = count;
    if (count > 0) ListView_EnsureVisible(list_, rowCount(count) - 1, FALSE);
}

void Win32LogView::measure(std::size_t from) {
    const LineStore& lines = log_.lines();
    const std::size_t count = lines.size();
    for (std::size_t index = std::max(from, count > kMeasuredLines ? count - kMeasuredLines : 0);
         index < count; ++index) {
        widenInto(lines[index], rowText_);
        const auto width = static_cast<int>(SendMessageW(
            list_, LVM_GETSTRINGWIDTHW, 0, reinterpret_cast<LPARAM>(rowText_.c_str())));
        widest_ = std::max(widest_, width + textMargin_);
    }
    fitColumn();
}

void Win32LogView::setFont(HFONT font, UINT dpi) {
    SendMessageW(list_, WM_SETFONT, reinterpret_cast<WPARAM>(font), TRUE);
    textMargin_ = scaledForDpi(kTextMargin, dpi);
    // The lines measured so far are as wide as the new font makes them.
    widest_ = 0;
    measure(0);
}

std::vector<std::size_t> Win32LogView::selectedRows() const {
    const auto count = static_cast<std::size_t>(ListView_GetItemCount(list_));
    const auto selected = static_cast<std::size_t>(ListView_GetSelectedCount(list_));
    std::vector<std::size_t> rows;
    rows.reserve(selected);
    // Every row selected (Ctrl+A) needs no walk through a million of them.
    if (selected == count) {
        for (std::size_t row = 0; row < count; ++row) rows.push_back(row);
        return rows;
    }
    for (int row = ListView_GetNextItem(list_, -1, LVNI_SELECTED);
         row >= 0 && rows.size() < selected;
         row = ListView_GetNextItem(list_, row, LVNI_SELECTED)) {
        rows.push_back(static_cast<std::size_t>(row));
    }
    return rows;
}

void Win32LogView::selectAll() {
    // A list that selects row by row (Wine's) would repaint each of a million
    // rows; it repaints once, after.
    SendMessageW(list_, WM_SETREDRAW, FALSE, 0);
    ListView_SetItemState(list_, -1, LVIS_SELECTED, LVIS_SELECTED);
    SendMessageW(list_, WM_SETREDRAW, TRUE, 0);
    InvalidateRect(list_, nullptr, TRUE);
}

bool Win32LogView::copySelection() {
    const std::vector<std::size_t> rows = selectedRows();
    if (rows.empty()) return false;
    return putTextOnClipboard(parent_, selectedLinesText(log_.lines(), rows, "\r\n"));
}

HMENU Win32LogView::contextMenu() const {
    return createLogMenu(ListView_GetSelectedCount(list_) > 0, ListView_GetItemCount(list_) > 0);
}

void Win32LogView::contextCommand(UINT command) {
    if (command == kLogMenuCopy) copySelection();
    if (command == kLogMenuSelectAll) selectAll();
}

void Win32LogView::showContextMenu(LPARAM screenPoint) {
    POINT at{GET_X_LPARAM(screenPoint), GET_Y_LPARAM(screenPoint)};
    if (screenPoint == -1) {
        RECT row{0, 0, 0, 0};
        const int focused = ListView_GetNextItem(list_, -1, LVNI_FOCUSED);
        if (focused >= 0) ListView_GetItemRect(list_, focused, &row, LVIR_LABEL);
        at = {row.left, row.bottom};
        ClientToScreen(list_, &at);
    }
    const HMENU menu = contextMenu();
    // The command comes back here, not to the window's own menu handling.
    const auto command = static_cast<UINT>(TrackPopupMenu(
        menu, TPM_RETURNCMD | TPM_NONOTIFY | TPM_RIGHTBUTTON, at.x, at.y, 0, parent_, nullptr));
    DestroyMenu(menu);
    contextCommand(command);
}

// Ctrl+A, Ctrl+C and Ctrl+Insert: what the list does not do by itself.
bool Win32LogView::controlKey(WORD key) {
    if (GetKeyState(VK_CONTROL) >= 0 || GetKeyState(VK_MENU) < 0) return false;
    if (key == 'A') {
        selectAll();
        return true;
    }
    if (key == 'C' || key == VK_INSERT) {
        copySelection();
        return true;
    }
    return false;
}

bool Win32LogView::notify(NMHDR& header, LRESULT& result) {
    if (header.hwndFrom != list_) return false;
    switch (header.code) {
        case LVN_GETDISPINFOW: {
            LVITEMW& item = reinterpret_cast<NMLVDISPINFOW&>(header).item;
            if ((item.mask & LVIF_TEXT) != 0) {
                const LineStore& lines = log_.lines();
                // A row may be asked for before the update that drops it.
                if (item.iItem >= 0 && static_cast<std::size_t>(item.iItem) < lines.size()) {
                    widenInto(lines[static_cast<std::size_t>(item.iItem)], rowText_);
                } else {
                    rowText_.clear();
                }
                // The list copies the text from here before it asks again.
                item.pszText = rowText_.data();
            }
            result = 0;
            return true;
        }
        case LVN_KEYDOWN:
            controlKey(reinterpret_cast<NMLVKEYDOWN&>(header).wVKey);
            result = 0;
            return true;
        case LVN_ODFINDITEMW:
            // Typing in the log searches nothing.
            result = -1;
            return true;
        case NM_DBLCLK:
            if (onDoubleClick_) onDoubleClick_();
            result = 0;
            return true;
        default:
            return false;
    }
}

void Win32LogView::place(int left, int top, int width, int height) {
    MoveWindow(list_, left, top, width, height, TRUE);
    fitColumn();
}

void Win32LogView::fitColumn() {
    RECT client{};
    GetClientRect(list_, &client);
    const int width = std::max<int>(client.right - client.left, widest_);
    if (ListView_GetColumnWidth(list_, 0) != width) ListView_SetColumnWidth(list_, 0, width);
}

void Win32LogView::applyBackground(Rgb colour) {
    const COLORREF background = RGB(colour.red, colour.green, colour.blue);
    ListView_SetBkColor(list_, background);
    ListView_SetTextBkColor(list_, background);
    InvalidateRect(list_, nullptr, TRUE);
}
