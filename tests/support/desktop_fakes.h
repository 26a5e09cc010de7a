#pragma once

#include "app/desktop.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/scripted_socket.h"

// Fake desktop services for a whole main window; the serial port and the
// port list are the caller's, so that a test can put the simulator behind them.
// The version checks' sockets answer only what a test scripts on them.
struct DesktopFakes {
    ManualPump pump;
    FakeBeeper beeper;
    FakeDialogs dialogs;
    FakeSystemServices system;
    ScriptedSocket versionSocket{pump, Split::whole()};
    ScriptedSocket versionCbinSocket{pump, Split::whole()};
    std::optional<std::string> updateServer;
    // Whatever key the build holds, the window's own tests install unsigned.
    std::string releaseKey;

    Desktop desktopOn(SerialPort& port, PortEnumerator& ports) {
        return Desktop{pump,  beeper,        dialogs,           system,      port,
                       ports, versionSocket, versionCbinSocket, updateServer, releaseKey};
    }
};

// The desktop of a window with no programmer anywhere: a fake port and an
// empty port list.
struct PortlessDesktop : DesktopFakes {
    FakeSerialPort port;
    FakePortEnumerator ports;
    Desktop desktop = desktopOn(port, ports);
};
