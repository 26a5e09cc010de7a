#pragma once

#include <functional>

#include "app/menu_binding.h"
#include "app/service_mode.h"
#include "base/timer.h"
#include "session/programmer_session.h"
#include "output/log.h"
#include "window/main_menu.h"

// The "Программатор" menu as a view of the session: every click on the menu,
// its submenus or an item in them first shows what the programmer reports
// (channel, VPR and supply marks) and what the port allows, then runs the
// item's own call.
class ProgrammerMenu {
  public:
    // find runs "Поиск"; timerProg, the firmware file's timer, is armed again
    // by a "Поиск" that leaves the link open, as at start.
    ProgrammerMenu(MainMenu& menu, Log& log, ProgrammerSession& session,
                   std::function<void()> find, Timer* timerProg = nullptr,
                   const ClickGuard& guard = nullptr);
    ProgrammerMenu(const ProgrammerMenu&) = delete;
    ProgrammerMenu& operator=(const ProgrammerMenu&) = delete;

    const ServiceMode& serviceMode() const { return serviceMode_; }
    // "Поиск" as its click runs it, for the start-up; errors escape to the caller.
    void findProgrammer() { run([this] { find(); }); }

  private:
    void bind(const ClickGuard& guard);
    // Every item below item, at any depth, refreshes the menu as it is clicked.
    void bindRefreshBelow(MenuItem& item, const ClickGuard& guard);
    void bindItem(MenuItem& item, const ClickGuard& guard, std::function<void()> action);
    // What every click runs: the refresh, the multiplexer item, then the action.
    void run(const std::function<void()>& action);
    // The enabled states that follow the port, then the programmer's marks.
    void refresh();
    void showStatus(const ProgrammerStatus& status);
    void find();

    MainMenu& menu_;
    ProgrammerSession& session_;
    std::function<void()> find_;
    Timer* timerProg_;
    ServiceMode serviceMode_;
};
