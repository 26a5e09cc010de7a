#pragma once

#include <windows.h>

#include <memory>
#include <optional>

#include "app/main_window.h"
#include "app/window_binding.h"
#include "base/message_pump.h"
#include "ui_win32/win32_log_view.h"
#include "ui_win32/win32_menu_bar.h"
#include "ui_win32/win32_window_icons.h"

class Win32MessagePump;

// The main window's model as a Win32 window: menu bar and shortcuts, log and
// status bar; the window binding drives the rest.
class Win32MainWindowView : public NativeWindow {
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
    // The DPI the window is laid out for: its screen's, then each WM_DPICHANGED's.
    UINT dpi() const { return dpi_; }

    // Shows the window where the model's frame puts it.
    void show(int how = SW_SHOWNORMAL);
    // A key of one of the items' shortcuts runs its item; true when it was one.
    bool translateAccelerator(MSG& message);

    // The calls the binding makes; the place is the outer rectangle's.
    void showStatusText(const std::string& text) override;
    void place(const WindowPlace& place) override;
    WindowPlace placement() const override;
    void closeLater() override;
    void repaintNow() override;

  private:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT handleMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void create();
    void layout();
    // Fonts, icons and the layout for the window's DPI.
    void applyDpi();
    void dpiChanged(UINT dpi, const RECT& suggested);
    void moved();
    void close();
    void detachFromModel();

    MainWindow& model_;
    Win32MessagePump* win32Pump_;
    Win32MenuBar menuBar_;
    HWND window_ = nullptr;
    HWND status_ = nullptr;
    std::unique_ptr<Win32LogView> logView_;
    UINT dpi_;
    // The log's and the status bar's font; it outlives the window that uses it.
    HFONT font_ = nullptr;
    Win32WindowIcons icons_;
    // Made once the window is there, gone with it: a model that outlives the
    // window calls nothing.
    std::optional<WindowBinding> binding_;
};
