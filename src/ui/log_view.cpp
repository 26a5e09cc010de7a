#include "ui/log_view.h"

#include <QClipboard>
#include <QContextMenuEvent>
#include <QGuiApplication>
#include <QMenu>
#include <QScrollBar>
#include <QStyledItemDelegate>
#include <algorithm>

#include "window/log_copy.h"

namespace {

// Measuring every line of a flood would cost more than showing it; the last
// ones of each batch are enough to widen the rows for long lines.
constexpr int kMeasuredRows = 256;

}  // namespace

// Every row as wide as the widest line measured: the list sizes all its rows
// alike from one of them, and a long line then scrolls instead of being cut.
class LogRowWidth : public QStyledItemDelegate {
  public:
    using QStyledItemDelegate::QStyledItemDelegate;

    void measure(const QStyleOptionViewItem& option, const QModelIndex& index) {
        widest_ = std::max(widest_, QStyledItemDelegate::sizeHint(option, index).width());
    }
    void reset() { widest_ = 0; }

    QSize sizeHint(const QStyleOptionViewItem& option, const QModelIndex& index) const override {
        const QSize size = QStyledItemDelegate::sizeHint(option, index);
        return {std::max(size.width(), widest_), size.height()};
    }

  private:
    int widest_ = 0;
};

LogView::LogView(Log& log, QWidget* parent)
    : QListView(parent),
      lines_(new LogLineModel(log.lines(), this)),
      rowWidth_(new LogRowWidth(this)) {
    setModel(lines_);
    setItemDelegate(rowWidth_);
    setUniformItemSizes(true);
    setSelectionMode(QAbstractItemView::ExtendedSelection);
    setEditTriggers(QAbstractItemView::NoEditTriggers);
    setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    setToolTip(QStringLiteral("Протокол действий, двойной клик для очистки"));
    applyBackground(log.background());

    flushTimer_.setSingleShot(true);
    flushTimer_.setInterval(50);
    connect(&flushTimer_, &QTimer::timeout, this, &LogView::flush);

    connections_.push_back(log.appended.connect([this](std::string_view) {
        if (!flushTimer_.isActive()) flushTimer_.start();
    }));
    connections_.push_back(log.cleared.connect([this] {
        lines_->cleared();
        rowWidth_->reset();
    }));
    connections_.push_back(log.lastDeleted.connect([this] { lines_->lastRemoved(); }));
    connections_.push_back(
        log.backgroundChanged.connect([this](Rgb colour) { applyBackground(colour); }));
    flush();
}

void LogView::flush() {
    flushTimer_.stop();
    const QScrollBar* scroll = verticalScrollBar();
    const bool following = scroll->value() == scroll->maximum();
    const int firstNew = lines_->rowCount();
    if (!lines_->catchUp()) return;
    measureFrom(firstNew);
    if (following) scrollToBottom();
}

void LogView::measureFrom(int row) {
    QStyleOptionViewItem option;
    initViewItemOption(&option);
    const int rows = lines_->rowCount();
    for (row = std::max(row, rows - kMeasuredRows); row < rows; ++row) {
        rowWidth_->measure(option, lines_->index(row));
    }
}

void LogView::copySelection() {
    std::vector<std::size_t> rows;
    for (const QItemSelectionRange& range : selectionModel()->selection()) {
        for (int row = range.top(); row <= range.bottom(); ++row) {
            rows.push_back(static_cast<std::size_t>(row));
        }
    }
    // Line feeds, as every Linux program pastes them.
    const std::string text = selectedLinesText(lines_->lines(), std::move(rows), "\n");
    QGuiApplication::clipboard()->setText(
        QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size())));
}

void LogView::mouseDoubleClickEvent(QMouseEvent*) {
    emit doubleClickedAnywhere();
}

void LogView::keyPressEvent(QKeyEvent* event) {
    if (event->matches(QKeySequence::Copy)) {
        copySelection();
        return;
    }
    QListView::keyPressEvent(event);
}

void LogView::fillContextMenu(QMenu& menu) {
    const auto caption = [](std::string_view text) {
        return QString::fromUtf8(text.data(), static_cast<qsizetype>(text.size()));
    };
    menu.addAction(QIcon::fromTheme("edit-copy"), caption(kLogCopyCaption), QKeySequence::Copy,
                   this, &LogView::copySelection)
        ->setEnabled(selectionModel()->hasSelection());
    menu.addSeparator();
    menu.addAction(QIcon::fromTheme("edit-select-all"), caption(kLogSelectAllCaption),
                   QKeySequence::SelectAll, this, &LogView::selectAll)
        ->setEnabled(lines_->rowCount() > 0);
}

// A right click offers what a text field offers.
void LogView::contextMenuEvent(QContextMenuEvent* event) {
    QMenu menu(this);
    fillContextMenu(menu);
    menu.exec(event->globalPos());
}

void LogView::applyBackground(Rgb colour) {
    QPalette palette = this->palette();
    palette.setColor(QPalette::Base, QColor(colour.red, colour.green, colour.blue));
    palette.setColor(QPalette::Text, QColor(0, 0, 128));
    setPalette(palette);
}
