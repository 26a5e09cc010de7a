#include "ui/main_window_view.h"

#include <QApplication>
#include <QCloseEvent>
#include <QIcon>
#include <QKeyEvent>
#include <QKeySequence>
#include <QMenuBar>
#include <QStatusBar>

namespace {

QString actionText(const MenuItem& item) {
    QString text = QString::fromStdString(item.caption());
    // The tab puts the shortcut in the menu's shortcut column; the keys themselves
    // are handled by the window so that they also reach hidden items.
    if (!item.shortcut().empty()) text += '\t' + QString::fromStdString(item.shortcut());
    return text;
}

}  // namespace

// The icon is compiled into the window's library as a resource, which a
// static library's user loads by name (outside any namespace).
static void loadIconResource() {
    Q_INIT_RESOURCE(telvarn);
}

MainWindowView::MainWindowView(MainWindow& model)
    : QMainWindow(nullptr, Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                               Qt::WindowMinimizeButtonHint | Qt::WindowCloseButtonHint),
      model_(model) {
    setWindowTitle(QString::fromStdString(model.frame.caption()));
    loadIconResource();
    setWindowIcon(QIcon(QStringLiteral(":/telvarn.png")));
    setMinimumSize(WindowFrame::kMinimumWidth, WindowFrame::kMinimumHeight);
    const Rgb sky = model.frame.background();
    QPalette palette = this->palette();
    palette.setColor(QPalette::Window, QColor(sky.red, sky.green, sky.blue));
    setPalette(palette);
    setAutoFillBackground(true);

    for (MenuItem* top : model.menu.topLevel()) buildMenu(*top, nullptr);

    logView_ = new LogView(model.log, this);
    setCentralWidget(logView_);
    connect(logView_, &LogView::doubleClickedAnywhere, this,
            [this] { binding_->logDoubleClicked(); });

    statusText_ = new QLabel(this);
    statusBar()->addWidget(statusText_, 1);
    statusBar()->setSizeGripEnabled(true);
    statusBar()->setToolTip(QStringLiteral("Строка состояния"));

    binding_.emplace(model, *this);
    qApp->installEventFilter(this);
}

void MainWindowView::showStatusText(const std::string& text) {
    statusText_->setText(QString::fromStdString(text));
}

// The position is the client area's, placed and read back alike. Window
// systems disagree about the frame (none offscreen or without a window
// manager, a decoration under one), and a frame position read back where a
// client position was placed moved the window by the frame's margin at every
// start.
void MainWindowView::place(const WindowPlace& place) {
    setGeometry(place.left, place.top, place.width, place.height);
}

WindowPlace MainWindowView::placement() const {
    const QRect area = geometry();
    return {area.x(), area.y(), area.width(), area.height()};
}

void MainWindowView::closeLater() {
    QMetaObject::invokeMethod(this, &QWidget::close, Qt::QueuedConnection);
}

void MainWindowView::repaintNow() {
    logView_->flush();
    repaint();
    statusBar()->repaint();
}

template <typename Sender, typename QtSignal>
void MainWindowView::onSignal(Sender* sender, QtSignal signal, std::function<void()> call) {
    connect(sender, signal, this, [this, call = std::move(call)] { model_.guarded(call); });
}

void MainWindowView::buildMenu(MenuItem& item, QMenu* parentMenu) {
    if (item.isSeparator()) {
        QAction* separator = parentMenu->addSeparator();
        bindItem(item, separator);
        return;
    }
    if (item.children().empty()) {
        QAction* action = parentMenu->addAction(actionText(item));
        // Qt flips a checkable action's mark by itself on a click; the item's
        // mark is the programmer's state, so it is put back after the click.
        onSignal(action, &QAction::triggered, [&item, action] {
            item.click();
            action->setChecked(item.checked());
        });
        bindItem(item, action);
        return;
    }
    QMenu* menu = parentMenu != nullptr ? parentMenu->addMenu(actionText(item))
                                        : menuBar()->addMenu(actionText(item));
    menu->setToolTipsVisible(true);
    // A separator shows only between two shown items, as on every system.
    menu->setSeparatorsCollapsible(true);
    // Opening a menu is a click on its item: the programmer menu refreshes itself then.
    onSignal(menu, &QMenu::aboutToShow, [&item] { item.click(); });
    bindItem(item, menu->menuAction());
    for (MenuItem* child : item.children()) buildMenu(*child, menu);
}

void MainWindowView::bindItem(MenuItem& item, QAction* action) {
    actions_[&item] = action;
    auto apply = [action](const MenuItem& state) {
        // A separator's "-" is the model's mark for it, not a text to draw.
        if (!state.isSeparator()) action->setText(actionText(state));
        action->setEnabled(state.enabled());
        action->setVisible(state.visible());
        action->setCheckable(state.checked() || action->isCheckable());
        action->setChecked(state.checked());
        if (!state.hint().empty()) action->setToolTip(QString::fromStdString(state.hint()));
    };
    apply(item);
    connections_.push_back(item.changed.connect(apply));
}

QAction* MainWindowView::actionFor(const MenuItem& item) const {
    auto it = actions_.find(&item);
    return it == actions_.end() ? nullptr : it->second;
}

std::string MainWindowView::shortcutText(int key, Qt::KeyboardModifiers modifiers) {
    if (key == Qt::Key_Control || key == Qt::Key_Shift || key == Qt::Key_Alt ||
        key == Qt::Key_Meta || key == 0 || key == Qt::Key_unknown) {
        return {};
    }
    const auto mods = modifiers & (Qt::ControlModifier | Qt::ShiftModifier | Qt::AltModifier);
    return QKeySequence(QKeyCombination(mods, static_cast<Qt::Key>(key)))
        .toString(QKeySequence::PortableText)
        .toStdString();
}

bool MainWindowView::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && QApplication::activeWindow() == this &&
        QApplication::activePopupWidget() == nullptr) {
        auto* key = static_cast<QKeyEvent*>(event);
        const std::string text = shortcutText(key->key(), key->modifiers());
        bool pressed = false;
        if (!text.empty()) model_.guarded([&] { pressed = model_.menu.pressShortcut(text); });
        if (pressed) return true;
    }
    return QMainWindow::eventFilter(watched, event);
}

void MainWindowView::closeEvent(QCloseEvent* event) {
    event->setAccepted(binding_->closing());
}

void MainWindowView::moveEvent(QMoveEvent* event) {
    QMainWindow::moveEvent(event);
    binding_->moved();
}

void MainWindowView::resizeEvent(QResizeEvent* event) {
    QMainWindow::resizeEvent(event);
    binding_->moved();
}
