#pragma once

#include <string>

#include "base/system_services.h"
#include "chip/chip_buffer.h"
#include "link/programmer_link.h"
#include "window/log.h"
#include "window/main_menu.h"
#include "window/status_line.h"

// What the chip menu needs of the window and the desktop.
struct ChipMenuContext {
    MainMenu& menu;
    ProgrammerLink& link;
    Log& log;
    StatusLine& status;
    ChipBuffer& buffer;
    Dialogs& dialogs;
    std::string programDirectory;
};
