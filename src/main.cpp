// Process start: the application, the main window and the message loop.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <optional>

#include "app/front_end.h"
#include "app/main_window.h"
#include "platform/qt_desktop_services.h"
#include "platform/qt_http_socket.h"
#include "platform/qt_message_pump.h"
#include "platform/qt_serial_port.h"
#include "ui/main_window_view.h"

namespace {

bool displayAvailable() {
    const auto platform = processEnvironment("QT_QPA_PLATFORM");
    if (platform && !platform->empty()) return true;
    return processEnvironment("DISPLAY").value_or("") != "" ||
           processEnvironment("WAYLAND_DISPLAY").value_or("") != "";
}

std::vector<std::string> argumentsOf(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

}  // namespace

int main(int argc, char** argv) {
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "Telvarn needs a display. Without one, start it as\n"
                     "  xvfb-run -a build/Telvarn\n"
                     "or with QT_QPA_PLATFORM=offscreen.\n");
        return 1;
    }
    std::string refused;
    const FrontEndEnvironment environment = readFrontEndEnvironment(processEnvironment, refused);
    if (!refused.empty()) {
        std::fprintf(stderr, "Telvarn: %s\n", refused.c_str());
        return 2;
    }

    QApplication application(argc, argv);
    QApplication::setApplicationName("Telvarn");

    try {
        QtMessagePump pump;
        QtBeeper beeper;
        QtDialogs dialogs;
        QtSystemServices system;
        QtSerialPort systemPort;
        QtPortEnumerator systemPorts;
        FrontEndPorts ports(systemPort, systemPorts, portChoice(environment), true);

        QtHttpSocket versionSocket(pump);
        QtHttpSocket versionCbinSocket(pump);
        Desktop desktop{pump,        beeper,        dialogs,       system,
                        ports.port(), ports.ports(), versionSocket, versionCbinSocket};
        desktop.updateServer = environment.updateServer;
        MainWindow window(desktop, argumentsOf(argc, argv));
        const auto mirror = mirrorLog(window.log, environment.logFile);
        MainWindowView view(window);
        window.FormCreate();
        // The window appears with the start-up lines already in its log.
        view.logView().flush();
        view.show();
        // A download running inside a handler gives up once the window is
        // closed, instead of keeping the process alive without a window. Only
        // from here on: a box closed before the window appeared is no such close.
        QObject terminationHooks;
        const auto terminate = [&pump] { pump.requestTermination(); };
        QObject::connect(&application, &QGuiApplication::lastWindowClosed, &terminationHooks,
                         terminate);
        QObject::connect(&application, &QCoreApplication::aboutToQuit, &terminationHooks,
                         terminate);
        if (system.quitRequested()) {
            QApplication::processEvents();
            return 0;
        }
        return QApplication::exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, "Telvarn", QString::fromStdString(error.what()));
        return 1;
    }
}
