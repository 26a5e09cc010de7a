#pragma once

#include "link/programmer_link.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"

// A programmer link on a scripted port, with a fake port list, pump and
// beeper. The port stays closed until a test opens the link.
struct ScriptedLink {
    FakeSerialPort port;
    FakePortEnumerator ports;
    ManualPump pump;
    FakeBeeper beeper;
    ProgrammerLink link{port, ports, pump, beeper};
};
