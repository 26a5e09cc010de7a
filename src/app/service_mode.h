#pragma once

#include "output/log.h"
#include "session/programmer_session.h"
#include "window/main_menu.h"

// The operator's service mode: shows the self-checks and the expert items of
// the chip menu, enables VPR and turns the log yellow.
class ServiceMode {
  public:
    ServiceMode(MainMenu& menu, Log& log, ProgrammerSession& session);

    bool on() const { return on_; }
    // Enters the mode if it is off, leaves it if it is on. Every effect is set
    // outright, so entering again after the port closed re-applies all of them.
    void toggle();
    // The port has closed: the mode is off and its checks are hidden; its other
    // effects stay as they are.
    void portClosed();

  private:
    MainMenu& menu_;
    Log& log_;
    ProgrammerSession& session_;
    bool on_ = false;
};
