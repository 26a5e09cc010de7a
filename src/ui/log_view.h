#pragma once

#include <QPlainTextEdit>
#include <QStringList>
#include <QTimer>
#include <vector>

#include "base/signal.h"
#include "output/log.h"

// The read-only log. Lines are collected and handed to the widget in batches,
// so that a flood of lines never freezes the window.
class LogView : public QPlainTextEdit {
    Q_OBJECT
  public:
    LogView(Log& log, QWidget* parent);

    // Hands the collected lines to the widget now.
    void flush();

  signals:
    void doubleClicked();

  protected:
    void mouseDoubleClickEvent(QMouseEvent* event) override;

  private:
    void applyBackground(Rgb colour);
    void removeLastLine();

    QStringList pending_;
    QTimer flushTimer_;
    // Ends with the view, so that a log that outlives it calls nothing.
    std::vector<Connection> connections_;
};
