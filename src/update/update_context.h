#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "base/message_pump.h"
#include "base/system_services.h"
#include "base/timer.h"
#include "http/http_cli.h"
#include "update/release_key.h"
#include "update/update_channel.h"
#include "update/update_gate.h"
#include "window/log.h"
#include "window/main_menu.h"

// Where a verified download goes; full paths in UTF-8.
struct UpdateTargets {
    std::string programFile;    // the program under its regular name
    std::string savedCopyName;  // the old program's copy, as the operator is told
    std::string savedCopyFile;  // that copy, which finishes the exchange ("PAUSE")
    std::string firmwareFile;   // what the firmware update flashes on its next tick
};

// What one update check and its download work with: its own client, timer,
// menu item, line list and local file, and the window's shared parts.
struct UpdateContext {
    const UpdateChannel& channel;
    THttpCli& client;
    Timer& timer;
    MainMenu& menu;
    MenuItem& item;
    Log& log;
    std::vector<std::string>& lines;  // ListVersion or ListVersionCbin
    // The version a newer one is compared with; -1 while it is not known (only
    // the firmware's can be), and then the check waits.
    std::function<std::int32_t()> installedVersion;
    std::string versionUrl;
    std::string downloadUrl;
    std::string localFile;  // receives the version file and the download
    ReleaseTrust& trust;    // shared by both checks
    UpdateGate& gate;       // shared by both checks
    UpdateTargets targets;
    Dialogs& dialogs;
    Beeper& beeper;
    MessagePump& pump;
    SystemServices& system;
    std::function<void()> closeWindow;
};
