#pragma once

#include <QListView>
#include <QMenu>
#include <QTimer>
#include <vector>

#include "base/signal.h"
#include "output/log.h"
#include "ui/log_line_model.h"

class LogRowWidth;

// The read-only log: a list whose rows read the log's own lines, so a line is
// held once however many the log keeps. New lines reach the list in batches,
// so that a flood of lines never freezes the window.
class LogView : public QListView {
    Q_OBJECT
  public:
    LogView(Log& log, QWidget* parent);

    // Hands the collected lines to the list now. A list that showed the last
    // line goes on showing it.
    void flush();
    // The selected lines, in order, one per line of the clipboard's text.
    void copySelection();
    // What a right click offers, as on every system: copying and selecting all.
    void fillContextMenu(QMenu& menu);
    // Typing in the log searches nothing, as in a text field.
    void keyboardSearch(const QString&) override {}

  signals:
    void doubleClickedAnywhere();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;

  private:
    void applyBackground(Rgb colour);
    void measureFrom(int row);

    LogLineModel* lines_;
    LogRowWidth* rowWidth_;
    QTimer flushTimer_;
    // Ends with the view, so that a log that outlives it calls nothing.
    std::vector<Connection> connections_;
};
