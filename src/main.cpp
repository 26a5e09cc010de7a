// Process start: the application, the main window and the message loop.
#include <QApplication>
#include <QMessageBox>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>

#include "app/log_mirror.h"
#include "app/main_window.h"
#include "app/update_server.h"
#include "link/routed_port.h"
#include "link/traced_port.h"
#include "platform/qt_desktop_services.h"
#include "platform/qt_http_socket.h"
#include "platform/qt_message_pump.h"
#include "platform/qt_serial_port.h"
#include "sim/simulated_port.h"
#include "ui/main_window_view.h"

namespace {

std::optional<std::string> environment(const char* name) {
    const char* value = std::getenv(name);
    if (value == nullptr) return std::nullopt;
    return std::string(value);
}

bool displayAvailable() {
    const auto platform = environment("QT_QPA_PLATFORM");
    if (platform && !platform->empty()) return true;
#ifdef __linux__
    return environment("DISPLAY").value_or("") != "" ||
           environment("WAYLAND_DISPLAY").value_or("") != "";
#else
    return true;
#endif
}

// The simulated programmer chosen by TELVARN_SIMULATOR; exits on an unknown name.
std::optional<SimBehaviour> chosenSimulator() {
    const auto name = environment("TELVARN_SIMULATOR");
    if (!name || name->empty()) return std::nullopt;
    const auto behaviour = parseSimBehaviour(*name);
    if (!behaviour) {
        std::fprintf(stderr,
                     "Telvarn: TELVARN_SIMULATOR=%s is not a known behaviour; use one of: %s\n",
                     name->c_str(), simBehaviourNames().c_str());
        std::exit(2);
    }
    return behaviour;
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
    const std::optional<SimBehaviour> simulator = chosenSimulator();

    QApplication application(argc, argv);
    QApplication::setApplicationName("Telvarn");

    try {
        QtMessagePump pump;
        QtBeeper beeper;
        QtDialogs dialogs;
        QtSystemServices system;
        QtSerialPort systemPort;
        QtPortEnumerator systemPorts;
        SimulatedProgrammer simulatedDevice(simulator.value_or(SimBehaviour::Normal));
        SimulatedPort simulatedPort(simulatedDevice, true);
        RoutedPort routedPort(systemPort, simulatedPort, "SIM");
        ListedPorts ports(systemPorts, environment("TELVARN_PORTS"),
                          simulator ? std::optional<std::string>("SIM") : std::nullopt,
                          [&simulatedPort] { return simulatedPort.devicePresent(); });

        std::unique_ptr<TracedPort> tracedPort;
        SerialPort* port = &routedPort;
        if (const auto trace = environment("TELVARN_TRACE"); trace && !trace->empty()) {
            tracedPort = std::make_unique<TracedPort>(routedPort, *trace);
            port = tracedPort.get();
        }

        QtHttpSocket versionSocket(pump);
        QtHttpSocket versionCbinSocket(pump);
        Desktop desktop{pump, beeper, dialogs, system, *port, ports, versionSocket, versionCbinSocket};
        desktop.updateServer = environment(kUpdateServerVariable);
        MainWindow window(desktop, argumentsOf(argc, argv));
        std::unique_ptr<LogMirror> mirror;
        if (const auto path = environment("TELVARN_LOG"); path && !path->empty()) {
            mirror = std::make_unique<LogMirror>(window.log, *path);
        }
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
