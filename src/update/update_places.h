#pragma once

#include <string>

#include "base/message_pump.h"
#include "base/system_services.h"
#include "update/release_key.h"
#include "update/update_gate.h"

// Where a verified download goes; full paths in UTF-8.
struct UpdateTargets {
    std::string programFile;    // the program under its regular name
    std::string savedCopyName;  // the old program's copy, as the operator is told
    std::string savedCopyFile;  // that copy, which finishes the exchange ("PAUSE")
    std::string firmwareFile;   // what the firmware update flashes on its next tick
};

// Where one check fetches its documents and keeps them.
struct UpdatePlaces {
    std::string versionUrl;
    std::string downloadUrl;
    std::string localFile;  // receives the version file and the download
    UpdateTargets targets;
};

// What the checks use of the desktop: the boxes, the beep, the loop, processes.
struct UpdateDesktop {
    Dialogs& dialogs;
    Beeper& beeper;
    MessagePump& pump;
    SystemServices& system;
};

// What the program's check and the firmware's share.
struct UpdateShared {
    ReleaseTrust trust;
    UpdateGate gate;
};
