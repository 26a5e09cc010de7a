#pragma once

#include "app/desktop.h"
#include "support/fake_desktop.h"

// Fake desktop services for a whole main window; the serial port and the
// port list are the caller's, so that a test can put the simulator behind them.
struct DesktopFakes {
    ManualPump pump;
    FakeBeeper beeper;
    FakeDialogs dialogs;
    FakeSystemServices system;

    Desktop desktopOn(SerialPort& port, PortEnumerator& ports) {
        return Desktop{pump, beeper, dialogs, system, port, ports};
    }
};
