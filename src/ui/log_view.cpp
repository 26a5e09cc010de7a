#include "ui/log_view.h"

#include <QTextBlock>
#include <QTextCursor>

LogView::LogView(Log& log, QWidget* parent) : QPlainTextEdit(parent) {
    setReadOnly(true);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setLineWrapMode(QPlainTextEdit::NoWrap);
    setToolTip(QStringLiteral("Протокол действий, двойной клик для очистки"));
    applyBackground(log.background());

    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(50);
    connect(&flushTimer_, &QTimer::timeout, this, &LogView::flush);

    log.appended.connect([this](const std::string& line) {
        pending_ << QString::fromStdString(line);
        if (!flushTimer_.isActive()) flushTimer_.start();
    });
    log.cleared.connect([this] {
        pending_.clear();
        clear();
    });
    log.lastDeleted.connect([this] { removeLastLine(); });
    log.backgroundChanged.connect([this](Rgb colour) { applyBackground(colour); });
}

void LogView::flush() {
    flushTimer_.stop();
    if (pending_.isEmpty()) return;
    appendPlainText(pending_.join('\n'));
    pending_.clear();
}

void LogView::removeLastLine() {
    if (!pending_.isEmpty()) {
        pending_.removeLast();
        return;
    }
    // Selecting the last block takes the line break before it too, so the line
    // goes without leaving an empty one behind.
    QTextCursor cursor(document()->lastBlock());
    cursor.select(QTextCursor::BlockUnderCursor);
    cursor.removeSelectedText();
}

void LogView::mouseDoubleClickEvent(QMouseEvent*) {
    emit doubleClicked();
}

void LogView::applyBackground(Rgb colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, QColor(colour.red, colour.green, colour.blue));
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    setPalette(palette);
}
