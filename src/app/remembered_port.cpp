#include "app/remembered_port.h"

FoundProgrammer RememberedPort::find(ProgrammerSession& session) {
    const FoundProgrammer programmer = session.find(port_);
    if (programmer.found) {
        port_ = programmer.port;
        found_ = true;
    }
    return programmer;
}

void RememberedPort::write() {
    if (found_) settings_.writeString("PORT", "LAST", port_);
}
