#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <map>
#include <optional>
#include <vector>

#include "app/main_window.h"
#include "app/window_binding.h"
#include "base/signal.h"
#include "ui/log_view.h"

// The main window's model as a QMainWindow: menu bar, log and status line;
// the window binding drives the rest.
class MainWindowView : public QMainWindow, public NativeWindow {
    Q_OBJECT
  public:
    explicit MainWindowView(MainWindow& model);

    // The calls the binding makes; the place is the client area's.
    void showStatusText(const std::string& text) override;
    void place(const WindowPlace& place) override;
    WindowPlace placement() const override;
    void closeLater() override;
    void repaintNow() override;

    LogView& logView() { return *logView_; }
    QAction* actionFor(const MenuItem& item) const;
    // The key as shortcut text, e.g. "Ctrl+F12"; empty for a plain key.
    static std::string shortcutText(int key, Qt::KeyboardModifiers modifiers);

  protected:
    void closeEvent(QCloseEvent* event) override;
    void moveEvent(QMoveEvent* event) override;
    void resizeEvent(QResizeEvent* event) override;
    bool eventFilter(QObject* watched, QEvent* event) override;

  private:
    // Every call a widget's signal makes into the model passes the loop's guard.
    template <typename Sender, typename QtSignal>
    void onSignal(Sender* sender, QtSignal signal, std::function<void()> call);
    void buildMenu(MenuItem& item, QMenu* parentMenu);
    void bindItem(MenuItem& item, QAction* action);

    MainWindow& model_;
    LogView* logView_;
    QLabel* statusText_;
    std::map<const MenuItem*, QAction*> actions_;
    // Ends with the view, so that a model that outlives it calls nothing.
    std::vector<Connection> connections_;
    // Made once the widgets it drives are there; it goes first.
    std::optional<WindowBinding> binding_;
};
