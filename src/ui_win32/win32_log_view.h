#pragma once

#include <windows.h>

#include <cstddef>
#include <functional>
#include <string>
#include <vector>

#include "base/signal.h"
#include "output/log.h"

// The read-only log: a list that holds no text of its own but asks the log's
// line store for each row it paints, so a million lines cost the list
// nothing. Lines only mark the list stale; one update, posted to the parent
// window, then sets the count and scrolls, so a flood costs one redraw.
// Rows are selected as in any list (click, Shift+click, Ctrl+click, Ctrl+A)
// and copied with Ctrl+C, Ctrl+Insert or the context menu.
class Win32LogView {
  public:
    // The message the parent gets when the list is to catch up; it calls flush().
    static constexpr UINT kUpdateMessage = WM_APP + 0x101;

    Win32LogView(Log& log, HWND parent, int controlId);
    // The list goes with its parent window, as every child window does.
    ~Win32LogView() = default;
    Win32LogView(const Win32LogView&) = delete;
    Win32LogView& operator=(const Win32LogView&) = delete;

    HWND handle() const { return list_; }
    // Brings the list up to the log now: its count, its last line in view.
    void flush();
    // The parent's WM_NOTIFY from the list; true when handled, with the answer.
    bool notify(NMHDR& header, LRESULT& result);
    // The parent's new size for the list.
    void place(int left, int top, int width, int height);
    void setOnDoubleClick(std::function<void()> action) { onDoubleClick_ = std::move(action); }
    // Draws the rows with the font (the caller keeps it) and margins of the DPI.
    void setFont(HFONT font, UINT dpi);

    // The selected rows, in order.
    std::vector<std::size_t> selectedRows() const;
    void selectAll();
    // Puts the selected lines on the clipboard, one line each, joined by CR LF.
    bool copySelection();
    // The context menu as it opens now; the caller destroys it.
    HMENU contextMenu() const;
    // Runs a command of the context menu.
    void contextCommand(UINT command);
    // The parent's WM_CONTEXTMENU from the list: at the screen point, or
    // under the focused row for the keyboard's menu key.
    void showContextMenu(LPARAM screenPoint);

  private:
    void markStale(std::size_t firstChanged);
    void applyBackground(Rgb colour);
    void fitColumn();
    void measure(std::size_t from);
    bool controlKey(WORD key);

    Log& log_;
    HWND parent_;
    HWND list_;
    // The count the list shows, and the first row whose text changed since.
    std::size_t shown_ = 0;
    std::size_t firstStale_ = 0;
    bool stale_ = false;
    bool updatePosted_ = false;
    // The widest line measured, so that long lines scroll instead of being cut.
    int widest_ = 0;
    int textMargin_;
    std::wstring rowText_;
    std::function<void()> onDoubleClick_;
    // Ends with the view, so that a log that outlives it calls nothing.
    std::vector<Connection> connections_;
};
