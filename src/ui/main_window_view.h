#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <functional>
#include <map>
#include <vector>

#include "app/main_window.h"
#include "base/signal.h"
#include "ui/log_view.h"

// Binds the main window's model to a QMainWindow: menu bar, log and status line.
class MainWindowView : public QMainWindow {
    Q_OBJECT
  public:
    explicit MainWindowView(MainWindow& model);

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
    void applyGeometry();
    void reportGeometry();

    MainWindow& model_;
    LogView* logView_;
    QLabel* statusText_;
    std::map<const MenuItem*, QAction*> actions_;
    bool applyingGeometry_ = false;
    // Ends with the view, so that a model that outlives it calls nothing.
    std::vector<Connection> connections_;
};
