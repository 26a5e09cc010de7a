#pragma once

#include "base/message_pump.h"
#include "base/system_services.h"
#include "link/serial_port.h"

// The platform services the main window is built on.
struct Desktop {
    MessagePump& pump;
    Beeper& beeper;
    Dialogs& dialogs;
    SystemServices& system;
    SerialPort& port;
    PortEnumerator& ports;
};
