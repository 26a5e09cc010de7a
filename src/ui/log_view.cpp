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

    connections_.push_back(log.appended.connect([this](std::string_view line) {
        pending_ << QString::fromUtf8(line.data(), static_cast<qsizetype>(line.size()));
        if (!flushTimer_.isActive()) flushTimer_.start();
    }));
    connections_.push_back(log.cleared.connect([this] {
        pending_.clear();
        clear();
    }));
    connections_.push_back(log.lastDeleted.connect([this] { removeLastLine(); }));
    connections_.push_back(
        log.backgroundChanged.connect([this](Rgb colour) { applyBackground(colour); }));
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
