#pragma once

#include <QLabel>
#include <QMainWindow>
#include <QMenu>
#include <map>

#include "app/main_window.h"
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
    void buildMenu(MenuItem& item, QMenu* parentMenu);
    void bindItem(MenuItem& item, QAction* action);
    void applyGeometry();
    void reportGeometry();

    MainWindow& model_;
    LogView* logView_;
    QLabel* statusText_;
    std::map<const MenuItem*, QAction*> actions_;
    bool applyingGeometry_ = false;
};
