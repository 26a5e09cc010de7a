#pragma once

#include <functional>

#include "base/timer.h"
#include "control/random_source.h"
#include "control/service_mode.h"
#include "link/programmer_link.h"
#include "window/log.h"
#include "window/main_menu.h"
#include "window/status_line.h"

// What the programmer menu needs of the window.
struct ProgrammerMenuContext {
    MainMenu& menu;
    ProgrammerLink& link;
    Log& log;
    StatusLine& status;
    std::function<void()> discovery;  // the "Поиск" branch
    // The firmware update's timer: a "Поиск" that leaves the link open arms it
    // again, as the start-up does.
    Timer* timerProg = nullptr;
};

// The handler of the whole "Программатор" menu: refresh, then dispatch.
class ProgrammerMenu {
  public:
    explicit ProgrammerMenu(ProgrammerMenuContext context);
    ProgrammerMenu(const ProgrammerMenu&) = delete;
    ProgrammerMenu& operator=(const ProgrammerMenu&) = delete;

    // Serves the menu itself, its submenus and every item in them. Each run
    // refreshes the marks from the programmer first, whatever the sender.
    void MainMenuProgClick(MenuItem& sender);

    // The window's one random source; the RAM check draws from it.
    RandomSource& random() { return random_; }
    const ServiceMode& serviceMode() const { return serviceMode_; }

  private:
    // Runs the branch of the sender, first match only; false if it has none.
    bool dispatch(MenuItem& sender);
    void find();
    bool dispatchSupply(MenuItem& sender);
    bool dispatchChannel(MenuItem& sender);

    ProgrammerMenuContext c_;
    RandomSource random_;
    ServiceMode serviceMode_;
};
