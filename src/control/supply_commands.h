#pragma once

#include <string>

#include "link/programmer_link.h"
#include "window/log.h"

// Selects the supply the programmer feeds to the chip. The selector is what
// the vdd command carries ("3", "5" or "U"); the name is the supply's name in
// the log ("VDD3", ...). The other supplies are the programmer's business.
void setSupply(ProgrammerLink& link, Log& log, const std::string& selector,
               const std::string& name);

// Switches VPR to the opposite of what the menu mark says it is now.
void switchVpr(ProgrammerLink& link, Log& log, bool markedOn);
