// Process start: the application, the main window and the message loop. The
// same start serves both systems; only the platform's services and the view differ.
#include <cstdio>
#include <memory>
#include <optional>

#include "startup/front_end.h"
#include "app/main_window.h"
#include "app/window_journal.h"

#ifdef _WIN32
#include "platform_win32/win32_desktop_services.h"
#include "platform_win32/win32_http_socket.h"
#include "platform_win32/win32_message_pump.h"
#include "platform_win32/win32_port_list.h"
#include "platform_win32/win32_serial_port.h"
#include "ui_win32/win32_main_window_view.h"
#else
#include <QApplication>
#include <QMessageBox>

#include "platform/qt_desktop_services.h"
#include "platform/qt_http_socket.h"
#include "platform/qt_message_pump.h"
#include "platform/qt_serial_port.h"
#include "ui/main_window_view.h"
#endif

namespace {

#ifdef _WIN32
// The system's services the window is built on, in the order they depend on each other.
struct Platform {
    Win32MessagePump pump;
    Win32Beeper beeper;
    Win32Dialogs dialogs;
    Win32SystemServices system;
    Win32SerialPort serialPort;
    Win32PortEnumerator serialPorts;
    Win32HttpSocket versionSocket{pump};
    Win32HttpSocket versionCbinSocket{pump};
};

// Binds the view, runs the start-up sequence, shows the window and runs the loop.
int showAndRun(Platform& platform, MainWindow& window) {
    Win32MainWindowView view(window, platform.pump);
    window.FormCreate();
    if (platform.system.quitRequested()) return 0;  // the restart step's instance
    view.show();
    return platform.pump.run();
}

void showFatal(const std::string& text) {
    Win32Dialogs().showError(text);
}
#else
struct Platform {
    QtMessagePump pump;
    QtBeeper beeper;
    QtDialogs dialogs;
    QtSystemServices system;
    QtSerialPort serialPort;
    QtPortEnumerator serialPorts;
    QtHttpSocket versionSocket{pump};
    QtHttpSocket versionCbinSocket{pump};
};

int showAndRun(Platform& platform, MainWindow& window) {
    MainWindowView view(window);
    window.FormCreate();
    // The window appears with the start-up lines already in its log.
    view.logView().flush();
    view.show();
    // A download running inside a handler gives up once the window is
    // closed, instead of keeping the process alive without a window. Only
    // from here on: a box closed before the window appeared is no such close.
    QObject terminationHooks;
    const auto terminate = [&pump = platform.pump] { pump.requestTermination(); };
    QObject::connect(qApp, &QGuiApplication::lastWindowClosed, &terminationHooks, terminate);
    QObject::connect(qApp, &QCoreApplication::aboutToQuit, &terminationHooks, terminate);
    if (platform.system.quitRequested()) {
        QApplication::processEvents();
        return 0;
    }
    return QApplication::exec();
}

void showFatal(const std::string& text) {
    QMessageBox::critical(nullptr, "Telvarn", QString::fromStdString(text));
}

bool displayAvailable() {
    const auto platform = processEnvironment("QT_QPA_PLATFORM");
    if (platform && !platform->empty()) return true;
    return processEnvironment("DISPLAY").value_or("") != "" ||
           processEnvironment("WAYLAND_DISPLAY").value_or("") != "";
}
#endif

std::vector<std::string> argumentsOf(int argc, char** argv) {
    std::vector<std::string> arguments;
    for (int i = 1; i < argc; ++i) arguments.emplace_back(argv[i]);
    return arguments;
}

int run(int argc, char** argv, const FrontEndEnvironment& environment) {
    try {
        Platform platform;
        // Before the start-up sequence, whose search may already reach the programmer.
        const auto journal = openWindowJournal(environment.journalFile, platform.dialogs);
        FrontEndPorts ports(platform.serialPort, platform.serialPorts, portChoice(environment),
                            true);
        Desktop desktop{platform.pump,          platform.beeper,       platform.dialogs,
                        platform.system,        ports.port(),          ports.ports(),
                        platform.versionSocket, platform.versionCbinSocket};
        desktop.updateServer = environment.updateServer;
        MainWindow window(desktop, argumentsOf(argc, argv));
        const auto mirror = mirrorLog(window.log, environment.logFile);
        window.session.setJournal(journal.get());
        return showAndRun(platform, window);
    } catch (const std::exception& error) {
        showFatal(error.what());
        return 1;
    }
}

}  // namespace

int main(int argc, char** argv) {
    std::string refused;
    const FrontEndEnvironment environment = readFrontEndEnvironment(processEnvironment, refused);
#ifdef _WIN32
    if (!refused.empty()) {
        showFatal(refused);
        return 2;
    }
    return run(argc, argv, environment);
#else
    if (!displayAvailable()) {
        std::fprintf(stderr,
                     "Telvarn needs a display. Without one, start it as\n"
                     "  xvfb-run -a build/Telvarn\n"
                     "or with QT_QPA_PLATFORM=offscreen.\n");
        return 1;
    }
    if (!refused.empty()) {
        std::fprintf(stderr, "Telvarn: %s\n", refused.c_str());
        return 2;
    }
    QApplication application(argc, argv);
    QApplication::setApplicationName("Telvarn");
    return run(argc, argv, environment);
#endif
}
