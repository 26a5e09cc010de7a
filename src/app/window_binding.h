#pragma once

#include <string>
#include <vector>

#include "app/main_window.h"
#include "base/signal.h"

// A window's place on the screen, measured as its own system measures it.
struct WindowPlace {
    int left, top, width, height;
    bool operator==(const WindowPlace&) const = default;
};

// The calls a front end's window offers the binding: what the system does,
// none of the window's rules.
class NativeWindow {
  public:
    virtual ~NativeWindow() = default;

    virtual void showStatusText(const std::string& text) = 0;
    // Moves and sizes the window; where it ends up reads back alike.
    virtual void place(const WindowPlace& place) = 0;
    virtual WindowPlace placement() const = 0;
    // Asks the window to close from the loop, as the operator's close does.
    virtual void closeLater() = 0;
    // Paints the whole window now, with every line the log holds.
    virtual void repaintNow() = 0;
};

// The main window's model bound to a front end's window, the same on every
// system: the model's status line, frame, close and repaint requests drive
// the window, and the window's moves, close and double clicks on the log
// reach the model through the loop's guard.
class WindowBinding {
  public:
    // Shows the status text and puts the window where the frame says.
    WindowBinding(MainWindow& model, NativeWindow& window);
    WindowBinding(const WindowBinding&) = delete;
    WindowBinding& operator=(const WindowBinding&) = delete;

    // Puts the window where the frame says.
    void place();
    // The window was moved or sized; the frame takes its new place.
    void moved();
    // The window is about to close: writes the settings. False when the
    // window must stay open.
    bool closing();
    void logDoubleClicked();

  private:
    MainWindow& model_;
    NativeWindow& window_;
    // The window reports the binding's own moves too; the frame already has them.
    bool placing_ = false;
    // Ends with the binding, so that a model that outlives it calls nothing.
    std::vector<Connection> connections_;
};
