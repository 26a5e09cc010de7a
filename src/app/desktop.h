#pragma once

#include <optional>
#include <string>

#include "base/message_pump.h"
#include "base/system_services.h"
#include "http/http_socket.h"
#include "link/serial_port.h"
#include "update/release_key.h"

// The platform services the main window is built on.
struct Desktop {
    MessagePump& pump;
    Beeper& beeper;
    Dialogs& dialogs;
    SystemServices& system;
    SerialPort& port;
    PortEnumerator& ports;
    // One socket for each version check's client.
    HttpSocket& versionSocket;
    HttpSocket& versionCbinSocket;
    // The update server named by the environment, which replaces the settings
    // file's and the built-in one.
    std::optional<std::string> updateServer = std::nullopt;
    // The key that signs the releases the updates install; empty installs
    // them unsigned.
    std::string releaseKey = builtInReleaseKey();
};
