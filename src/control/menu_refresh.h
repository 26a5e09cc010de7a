#pragma once

#include <string>

#include "link/programmer_link.h"
#include "window/main_menu.h"

// The refresh that opens every run of the programmer menu's handler: the
// enabled states that follow the port, then the marks from the programmer's
// own status reply, so the menu shows what the device reports.
void refreshProgrammerMenu(MainMenu& menu, ProgrammerLink& link);

// Sets the channel, VPR and supply marks from a 13-character status reply.
void applyStatusReply(MainMenu& menu, const std::string& reply);
