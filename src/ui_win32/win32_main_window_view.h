#pragma once

#include <windows.h>

#include <memory>
#include <vector>

#include "app/main_window.h"
#include "base/message_pump.h"
#include "base/signal.h"
#include "ui_win32/win32_log_view.h"
#include "ui_win32/win32_menu_bar.h"

class Win32MessagePump;

// Binds the main window's model to a Win32 window: menu bar and shortcuts,
// log and status line, geometry and close.
class Win32MainWindowView {
  public:
    // On the Win32 pump the window's shortcuts go in as the pump's message
    // filter; on another pump the loop passes them through translateAccelerator.
    // Throws when the window cannot be created (no display).
    Win32MainWindowView(MainWindow& model, MessagePump& pump);
    ~Win32MainWindowView();
    Win32MainWindowView(const Win32MainWindowView&) = delete;
    Win32MainWindowView& operator=(const Win32MainWindowView&) = delete;

    // Null once the window is closed.
    HWND handle() const { return window_; }
    HWND statusBar() const { return status_; }
    // The log list, until the window closes.
    Win32LogView& logView() { return *logView_; }
    Win32MenuBar& menuBar() { return menuBar_; }

    // Shows the window where the model's frame puts it.
    void show(int how = SW_SHOWNORMAL);
    // A key of one of the items' shortcuts runs its item; true when it was one.
    bool translateAccelerator(MSG& message);

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void layout();
    void applyGeometry();
    void reportGeometry();
    void setStatusText(const std::string& text);
    void close();
    void detachFromModel();

    MainWindow& model_;
    MessagePump& pump_;
    Win32MessagePump* win32Pump_;
    Win32MenuBar menuBar_;
    HWND window_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<Win32LogView> logView_;
    bool applyingGeometry_ = false;
    // Ends with the window, so that a model that outlives it calls nothing.
    std::vector<Connection> connections_;
};
