#pragma once

#include <functional>

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
};

// The handler of the whole "Программатор" menu: refresh, then dispatch.
class ProgrammerMenu {
public:
    explicit ProgrammerMenu(ProgrammerMenuContext context);

    void MainMenuProgClick(MenuItem& sender);

private:
    ProgrammerMenuContext c_;
};
