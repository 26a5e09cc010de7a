#pragma once

#include <functional>

#include "app/service_mode.h"
#include "base/timer.h"
#include "session/programmer_session.h"
#include "output/log.h"
#include "window/main_menu.h"

// The "Программатор" menu as a view of the session: every run first shows
// what the programmer reports (channel, VPR and supply marks) and what the
// port allows, then turns the click into one call.
class ProgrammerMenu {
  public:
    // find runs the "Поиск" branch; timerProg, the firmware file's timer, is
    // armed again by a "Поиск" that leaves the link open, as at start.
    ProgrammerMenu(MainMenu& menu, Log& log, ProgrammerSession& session,
                   std::function<void()> find, Timer* timerProg = nullptr);
    ProgrammerMenu(const ProgrammerMenu&) = delete;
    ProgrammerMenu& operator=(const ProgrammerMenu&) = delete;

    // Serves the menu itself, its submenus and every item in them.
    void MainMenuProgClick(MenuItem& sender);

    const ServiceMode& serviceMode() const { return serviceMode_; }

  private:
    // The enabled states that follow the port, then the programmer's marks.
    void refresh();
    void showStatus(const ProgrammerStatus& status);
    // Runs the branch of the sender, first match only; false if it has none.
    bool dispatch(MenuItem& sender);
    void find();
    bool dispatchSupply(MenuItem& sender);
    bool dispatchChannel(MenuItem& sender);

    MainMenu& menu_;
    ProgrammerSession& session_;
    std::function<void()> find_;
    Timer* timerProg_;
    ServiceMode serviceMode_;
};
