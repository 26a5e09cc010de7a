// The boxes the operator answers, as Qt shows them: in front of and above the
// window, Enter pressing the default button.
#include <gtest/gtest.h>

#include <QApplication>
#include <QKeyEvent>
#include <QMessageBox>
#include <QTimer>
#include <functional>

#include "platform/qt_desktop_services.h"
#include "qt_test_app.h"

namespace {

struct Seen {
    bool box = false;
    bool onTop = false;
};

// Waits for the box to show, notes how it is shown, and presses Enter in it.
void pressEnterInTheBox(Seen& seen, int triesLeft = 200) {
    for (QWidget* widget : QApplication::topLevelWidgets()) {
        auto* box = qobject_cast<QMessageBox*>(widget);
        if (box == nullptr || !box->isVisible()) continue;
        seen.box = true;
        seen.onTop = box->windowFlags().testFlag(Qt::WindowStaysOnTopHint);
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(box, &enter);
        return;
    }
    if (triesLeft > 0)
        QTimer::singleShot(10, [&seen, triesLeft] { pressEnterInTheBox(seen, triesLeft - 1); });
}

TEST(QtDialogs, BoxesComeToTheFrontAndEnterTakesTheDefaultButton) {
    ensureQtApp();
    QtDialogs dialogs;
    struct Row {
        const char* name;
        std::function<bool()> ask;
        bool answer;  // what Enter answers
    };
    const Row rows[] = {
        {"a burn: Enter answers No",
         [&] {
             return dialogs.confirm("Вы уверены?", "Прожиг микросхемы :", Dialogs::Default::No);
         },
         false},
        {"an update: Enter answers Yes",
         [&] {
             return dialogs.confirm("Notes\n",
                                    "Загрузка обновления программы:", Dialogs::Default::Yes);
         },
         true},
        {"an information box",
         [&] {
             dialogs.inform("Загрузка обновления прошивки завершена.");
             return true;
         },
         true},
    };
    for (const Row& row : rows) {
        SCOPED_TRACE(row.name);
        Seen seen;
        QTimer::singleShot(0, [&seen] { pressEnterInTheBox(seen); });
        EXPECT_EQ(row.ask(), row.answer);
        EXPECT_TRUE(seen.box);
        EXPECT_TRUE(seen.onTop);
    }
}

}  // namespace
