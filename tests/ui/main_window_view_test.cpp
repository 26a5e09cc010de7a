#include "ui/main_window_view.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QMenuBar>
#include <QStatusBar>
#include <QTextBlock>

#include "app/main_window.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"

namespace {

QApplication& application() {
    static int argc = 1;
    static char name[] = "telvarn_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication app(argc, argv);
    return app;
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
        const QTextDocument* document = view->logView().document();
        for (QTextBlock block = document->begin(); block.isValid(); block = block.next()) {
            lines << block.text();
        }
        if (lines == QStringList{""}) lines.clear();
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
    for (int i = 0; i < 100000; ++i) model->log.append("Ошибка в строке " + std::to_string(i));
    EXPECT_EQ(view->logView().document()->blockCount(), 1);  // nothing handed over yet
    EXPECT_EQ(logLines().size(), 100000);
    model->log.append("Программирование...");
    model->log.deleteLast();
    model->log.append("Программирование завершено");
    const QStringList lines = logLines();
    EXPECT_EQ(lines.size(), 100001);
    EXPECT_EQ(lines.back(), "Программирование завершено");
    model->log.deleteLast();
    EXPECT_EQ(logLines().back(), "Ошибка в строке 99999");
}

TEST_F(View, DoubleClickClearsTheLog) {
    model->log.append("line");
    view->logView().flush();
    emit view->logView().doubleClicked();
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
    EXPECT_TRUE(model->status.changed.empty());
    EXPECT_TRUE(model->frame.geometryChanged.empty());
    EXPECT_TRUE(model->closeRequested.empty());
    EXPECT_TRUE(model->repaintRequested.empty());
    // Announcing now reaches no freed view (the sanitizer build watches the memory).
    model->log.append("line");
    model->log.clear();
    model->status.setText("Программирование 50%");
    model->menu.MainMenuChipDump.setVisible(true);
    model->frame.setLeft(10);
    model->closeRequested();
    model->repaintRequested();
}

TEST_F(View, StatusLineShowsTheModelsText) {
    model->status.setText("Программирование 50%");
    const auto labels = view->statusBar()->findChildren<QLabel*>();
    ASSERT_FALSE(labels.isEmpty());
    EXPECT_EQ(labels.front()->text(), "Программирование 50%");
}

TEST_F(View, ClosingWritesTheSettingsAndAFailedWriteKeepsTheWindowOpen) {
    view->show();
    EXPECT_TRUE(view->close());
    EXPECT_TRUE(folder.exists("Telvarn.ini"));

    std::filesystem::remove_all(folder.path());  // nowhere to write now
    view->show();
    EXPECT_FALSE(view->close());
    ASSERT_EQ(dialogs.errors.size(), 1u);
    EXPECT_NE(dialogs.errors[0].find("Unable to write to"), std::string::npos);
    std::filesystem::create_directories(folder.path());
}
