// What copying a whole log costs the Linux window: 1,048,576 lines, selected
// with Ctrl+A and copied with Ctrl+C, as the operator's keys reach the list.
// Prints the time of each key and of both together.
#include <QApplication>
#include <QClipboard>
#include <QKeyEvent>
#include <chrono>
#include <cstdio>
#include <string>

#include "app/main_window.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"
#include "ui/main_window_view.h"

namespace {

constexpr std::size_t kLines = 1048576;

using Clock = std::chrono::steady_clock;

double millisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

void press(QWidget& widget, Qt::Key key) {
    QKeyEvent event(QEvent::KeyPress, key, Qt::ControlModifier);
    QApplication::sendEvent(&widget, &event);
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TempFolder folder;
    PortlessDesktop fakes;
    fakes.system.exePath = folder.file("Telvarn");
    MainWindow model(fakes.desktop, {});
    MainWindowView view(model);
    view.show();
    for (std::size_t n = 0; n < kLines; ++n)
        model.log.append("Ошибка в строке " + std::to_string(n));
    view.logView().flush();
    QApplication::processEvents();

    LogView& log = view.logView();
    auto start = Clock::now();
    press(log, Qt::Key_A);
    const double selected = millisecondsSince(start);
    start = Clock::now();
    press(log, Qt::Key_C);
    const double copied = millisecondsSince(start);
    const qsizetype characters = QApplication::clipboard()->text().size();
    std::printf(
        "%zu log lines: Ctrl+A %.0f ms, Ctrl+C %.0f ms, both %.0f ms (%lld characters on the "
        "clipboard)\n",
        kLines, selected, copied, selected + copied, static_cast<long long>(characters));
    return 0;
}
