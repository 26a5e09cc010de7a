#pragma once

#include <string>

#include "base/message_pump.h"
#include "base/system_services.h"

// Finishes a self-update in the saved copy started with "PAUSE": waits for the old
// instance to end, puts the downloaded "version" file in place of the program,
// starts the program hidden and asks this instance to end. The folder never
// lacks a program: without a usable download, or when the replacement fails,
// the old program stays and is the one started.
void runRestartStep(MessagePump& pump, SystemServices& system, const std::string& folder);
