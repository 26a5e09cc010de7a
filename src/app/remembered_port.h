#pragma once

#include <string>

#include "session/programmer_session.h"
#include "startup/settings_file.h"

// The port the programmer answered on last, kept in the settings file
// ("[PORT]" "LAST") so that the next search tries it first: a port that never
// answers costs a search about 10.7 s, and one that sorts before the
// programmer's would cost it at every start.
class RememberedPort {
  public:
    explicit RememberedPort(SettingsFile& settings) : settings_(settings) {}

    // At start-up, before the first search.
    void read() { port_ = settings_.readString("PORT", "LAST", ""); }
    // Searches the ports, the remembered one first; remembers where the
    // programmer's application answered.
    FoundProgrammer find(ProgrammerSession& session);
    // With the window's other settings; only once a programmer was found, so
    // that a start without one leaves the stored port as it is.
    void write();

  private:
    SettingsFile& settings_;
    std::string port_;
    bool found_ = false;
};
