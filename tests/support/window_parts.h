#pragma once

#include "window/log.h"
#include "window/main_menu.h"
#include "window/status_line.h"

// The parts of the main window a menu handler or an update writes to.
struct WindowParts {
    MainMenu menu;
    Log log;
    StatusLine status;
};
