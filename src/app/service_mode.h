#pragma once

#include "session/programmer_session.h"
#include "output/log.h"
#include "window/main_menu.h"

// The operator's service mode: shows the self-checks and the expert items of
// the chip menu, enables VPR and turns the log yellow. It has no variable of
// its own; it is on exactly while "Проверка RAM" is visible, so hiding that
// item (the refresh does when the port closes) turns it off.
class ServiceMode {
  public:
    ServiceMode(MainMenu& menu, Log& log, ProgrammerSession& session);

    bool on() const { return menu_.MainMenuProgCheckRam.visible(); }
    // Enters the mode if it is off, leaves it if it is on. Every effect is set
    // outright, so entering again after the refresh hid the checks re-applies
    // all of them.
    void toggle();

  private:
    MainMenu& menu_;
    Log& log_;
    ProgrammerSession& session_;
};
