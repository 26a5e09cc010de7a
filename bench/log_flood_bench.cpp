// How long the window is held up when a command logs a flood of lines: the
// model takes every line at once, the view gets them in one batch afterwards.
#include <QApplication>
#include <QTextDocument>
#include <chrono>
#include <cstdio>

#include "app/main_window.h"
#include "support/desktop_fakes.h"
#include "support/fake_serial_port.h"
#include "support/temp_folder.h"
#include "ui/main_window_view.h"

namespace {

double millisecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

}  // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication application(argc, argv);
    TempFolder folder;
    DesktopFakes fakes;
    fakes.system.exePath = folder.file("Telvarn");
    FakeSerialPort port;
    FakePortEnumerator ports;
    Desktop desktop = fakes.desktopOn(port, ports);
    MainWindow model(desktop, {});
    MainWindowView view(model);
    view.show();

    for (int lines : {1000, 10000, 100000}) {
        model.log.clear();
        const auto start = std::chrono::steady_clock::now();
        for (int i = 1; i <= lines; ++i) {
            model.log.append("Ошибка в строке " + std::to_string(i) +
                             " : недопустимое значение abc");
        }
        const double logged = millisecondsSince(start);
        view.logView().flush();
        QApplication::processEvents();
        const double shown = millisecondsSince(start);
        std::printf(
            "%7d lines: logged in %8.1f ms, shown in the window after %8.1f ms (%d blocks)\n",
            lines, logged, shown, view.logView().document()->blockCount());
    }
    return 0;
}
