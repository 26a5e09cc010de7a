#include "ui/main_window_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <QMenu>
#include <QMenuBar>
#include <QMouseEvent>
#include <QScrollBar>
#include <QStatusBar>

#include "app/main_window.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "telvarn_ui_tests";
    static char* argv[] = {name, nullptr};
    // Left to the end of the process: the input devices of the events sent go first.
    static auto* app = new QApplication(argc, argv);
    return *app;
}

struct View : ::testing::Test, PortlessDesktop {
    TempFolder folder;
    std::unique_ptr<MainWindow> model;
    std::unique_ptr<MainWindowView> view;

    void SetUp() override {
        application();
        system.exePath = folder.file("Telvarn");
        model = std::make_unique<MainWindow>(desktop, std::vector<std::string>{});
        view = std::make_unique<MainWindowView>(*model);
    }

    QStringList logLines() {
        view->logView().flush();
        QStringList lines;
        const QAbstractItemModel& rows = *view->logView().model();
        for (int r = 0; r < rows.rowCount(); ++r) lines << rows.index(r, 0).data().toString();
        return lines;
    }
};

}  // namespace

TEST_F(View, IsACaptionedSkyBlueWindowWithoutAMaximiseButton) {
    EXPECT_EQ(view->windowTitle(), "Telvarn");
    EXPECT_EQ(view->minimumSize(), QSize(500, 200));
    EXPECT_FALSE(view->windowFlags() & Qt::WindowMaximizeButtonHint);
    EXPECT_EQ(view->palette().color(QPalette::Window), QColor(166, 202, 240));
    EXPECT_EQ(view->logView().palette().color(QPalette::Base), QColor(202, 202, 255));
    EXPECT_EQ(view->logView().toolTip(), "Протокол действий, двойной клик для очистки");
}

TEST_F(View, ShowsTheProgramsIcon) {
    const QIcon icon = view->windowIcon();
    ASSERT_FALSE(icon.isNull());
    EXPECT_TRUE(icon.availableSizes().contains(QSize(256, 256)));
}

TEST_F(View, HoldsTheMinimumSize) {
    view->show();
    view->resize(100, 50);
    EXPECT_EQ(view->size(), QSize(500, 200));
}

TEST_F(View, SeparatorsAreRealSeparatorsWithoutText) {
    for (MenuItem* item : model->menu.all()) {
        if (!item->isSeparator()) continue;
        QAction* action = view->actionFor(*item);
        ASSERT_NE(action, nullptr) << item->name();
        EXPECT_TRUE(action->isSeparator()) << item->name();
        EXPECT_TRUE(action->text().isEmpty()) << item->name();
    }
    EXPECT_TRUE(view->menuBar()->actions()[0]->menu()->separatorsCollapsible());
}

TEST_F(View, ShowsTheMenuTreeAndFollowsItemState) {
    const auto menus = view->menuBar()->actions();
    ASSERT_EQ(menus.size(), 4);
    EXPECT_EQ(menus[0]->text(), "Микросхема");
    EXPECT_EQ(menus[3]->text(), "Помощь");
    QAction* dump = view->actionFor(model->menu.MainMenuChipDump);
    ASSERT_NE(dump, nullptr);
    EXPECT_FALSE(dump->isVisible());
    EXPECT_FALSE(dump->isEnabled());
    EXPECT_EQ(dump->text(), "Показать буфер\tF3");
    model->menu.MainMenuChipDump.setVisible(true);
    model->menu.MainMenuChipDump.setEnabled(true);
    EXPECT_TRUE(dump->isVisible());
    EXPECT_TRUE(dump->isEnabled());
    QAction* final = view->actionFor(model->menu.MainMenuChipLoadRamFinal);
    EXPECT_TRUE(final->isChecked());
    model->menu.MainMenuChipLoadRamFinal.setChecked(false);
    EXPECT_FALSE(final->isChecked());
}

TEST_F(View, ATriggeredActionClicksItsItem) {
    view->actionFor(model->menu.MainMenuHelpAbout)->trigger();
    EXPECT_EQ(logLines(), QStringList{"Версия программы Telvarn : 14"});
}

TEST_F(View, AClickLeavesTheMarkAsTheItemHasIt) {
    // Qt would flip the mark of a checked action; only the programmer's reported
    // state may change it.
    model->menu.MainMenuProgMUX101.setChecked(true);
    QAction* channel = view->actionFor(model->menu.MainMenuProgMUX101);
    channel->trigger();
    EXPECT_TRUE(channel->isChecked());
    EXPECT_EQ(logLines().back(), "Ошибка установки состояния выходов MUX=101");
}

TEST_F(View, TranslatesKeysIntoShortcutTexts) {
    EXPECT_EQ(MainWindowView::shortcutText(Qt::Key_F12, Qt::ControlModifier), "Ctrl+F12");
    EXPECT_EQ(MainWindowView::shortcutText(Qt::Key_F12, Qt::ShiftModifier), "Shift+F12");
    EXPECT_EQ(MainWindowView::shortcutText(Qt::Key_F4, Qt::NoModifier), "F4");
    EXPECT_EQ(MainWindowView::shortcutText(Qt::Key_Control, Qt::ControlModifier), "");
}

TEST_F(View, LogFollowsTheModelInBatches) {
    view->show();
    const QScrollBar& scroll = *view->logView().verticalScrollBar();
    for (int i = 0; i < 100000; ++i) model->log.append("Ошибка в строке " + std::to_string(i));
    EXPECT_EQ(view->logView().model()->rowCount(), 0);  // nothing handed over yet
    view->repaintNow();
    EXPECT_EQ(view->logView().model()->rowCount(), 100000);
    QApplication::processEvents();
    EXPECT_EQ(scroll.value(), scroll.maximum());  // the last line in view
    view->logView().scrollToTop();                // the operator reads back: the view stays there
    model->log.append("Программирование...");
    model->log.deleteLast();
    model->log.append("Программирование завершено");
    const QStringList lines = logLines();
    EXPECT_EQ(lines.size(), 100001);
    EXPECT_EQ(lines.back(), "Программирование завершено");
    EXPECT_EQ(scroll.value(), 0);
    model->log.deleteLast();
    EXPECT_EQ(logLines().back(), "Ошибка в строке 99999");
}

TEST_F(View, CtrlCCopiesTheSelectedLinesInOrder) {
    for (const char* line : {"Поиск", "Буфер очищен", "Готово"}) model->log.append(line);
    LogView& log = view->logView();
    log.flush();
    log.selectionModel()->select(log.model()->index(2, 0), QItemSelectionModel::Select);
    log.selectionModel()->select(log.model()->index(0, 0), QItemSelectionModel::Select);
    QKeyEvent copy(QEvent::KeyPress, Qt::Key_C, Qt::ControlModifier);
    QApplication::sendEvent(&log, &copy);
    EXPECT_EQ(QApplication::clipboard()->text(), "Поиск\nГотово");
}

// The log's context menu in each state: its captions and which can be used.
struct ContextMenuState {
    const char* name;
    int lines;
    int selected;
    bool canCopy;
    bool canSelectAll;
};

class LogContextMenu : public View, public ::testing::WithParamInterface<ContextMenuState> {};

TEST_P(LogContextMenu, OffersCopyAndSelectAllAsTheLogAllows) {
    const ContextMenuState& state = GetParam();
    for (int i = 0; i < state.lines; ++i) model->log.append("Строка " + std::to_string(i));
    LogView& log = view->logView();
    log.flush();
    for (int row = 0; row < state.selected; ++row) {
        log.selectionModel()->select(log.model()->index(row, 0), QItemSelectionModel::Select);
    }
    QMenu menu;
    log.fillContextMenu(menu);
    const QList<QAction*> actions = menu.actions();
    ASSERT_EQ(actions.size(), 3);
    EXPECT_EQ(actions[0]->text(), "Копировать");
    EXPECT_TRUE(actions[1]->isSeparator());
    EXPECT_EQ(actions[2]->text(), "Выделить всё");
    EXPECT_EQ(actions[0]->isEnabled(), state.canCopy);
    EXPECT_EQ(actions[2]->isEnabled(), state.canSelectAll);
}

INSTANTIATE_TEST_SUITE_P(View, LogContextMenu,
                         ::testing::Values(ContextMenuState{"EmptyLog", 0, 0, false, false},
                                           ContextMenuState{"NothingSelected", 3, 0, false, true},
                                           ContextMenuState{"LinesSelected", 3, 2, true, true}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(View, SelectAllThenCopyTakesEveryLine) {
    for (const char* line : {"Поиск", "Буфер очищен", "Готово"}) model->log.append(line);
    LogView& log = view->logView();
    log.flush();
    QMenu first;
    log.fillContextMenu(first);
    first.actions()[2]->trigger();
    QMenu second;  // opened again, now with every line selected
    log.fillContextMenu(second);
    second.actions()[0]->trigger();
    EXPECT_EQ(QApplication::clipboard()->text(), "Поиск\nБуфер очищен\nГотово");
}

TEST_F(View, ADoubleClickOnTheLogClearsIt) {
    model->log.append("Поиск");
    view->logView().flush();
    QMouseEvent click(QEvent::MouseButtonDblClick, QPointF(5, 5), QPointF(5, 5), Qt::LeftButton,
                      Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(view->logView().viewport(), &click);
    EXPECT_TRUE(model->log.lines().empty());
    EXPECT_TRUE(logLines().isEmpty());
}

TEST_F(View, AViewDestroyedBeforeItsModelLeavesTheModelNothingToCall) {
    view.reset();
    for (const MenuItem* item : model->menu.all()) {
        EXPECT_TRUE(item->changed.empty()) << item->name();
    }
    EXPECT_TRUE(model->log.appended.empty());
    EXPECT_TRUE(model->log.cleared.empty());
    // Announcing now reaches no freed view (the sanitizer build watches the memory).
    model->log.append("line");
    model->log.clear();
    model->menu.MainMenuChipDump.setVisible(true);
}

TEST_F(View, ShowsTheStatusTextAndClosesLaterUnlessTheBindingRefuses) {
    view->showStatusText("Программирование 50%");
    ASSERT_NE(view->statusBar()->findChild<QLabel*>(), nullptr);
    EXPECT_EQ(view->statusBar()->findChild<QLabel*>()->text(), "Программирование 50%");
    view->show();
    std::filesystem::remove_all(folder.path());  // nowhere to write: the binding refuses
    EXPECT_FALSE(view->close());
    std::filesystem::create_directories(folder.path());
    view->closeLater();
    QApplication::processEvents();
    EXPECT_FALSE(view->isVisible());
}
