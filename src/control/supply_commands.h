#pragma once

#include <string>

#include "base/report.h"
#include "link/programmer_link.h"

// The supplies the programmer can feed to the chip; it switches the others off.
enum class Supply { Vdd3, Vdd5, VddU };

// The supply's name in the log ("VDD3", ...).
std::string supplyName(Supply supply);

// Selects the supply; true when the programmer took it.
bool setSupply(ProgrammerLink& link, Report& report, Supply supply);

// Switches VPR on or off; true when the programmer did.
bool switchVpr(ProgrammerLink& link, Report& report, bool on);
