#pragma once

#include <memory>
#include <optional>
#include <string>

#include "startup/log_mirror.h"
#include "cli/cli_desktop.h"
#include "link/programmer_link.h"
#include "session/programmer_session.h"
#include "output/log.h"
#include "output/status_line.h"
#include "output/operator_report.h"

// The command line's programmer session: the link on the given port, the
// log and status line the output follows, and the session the commands call.
class CliSession {
    // First, since the link holds on to it.
    QuietBeeper beeper_;

  public:
    struct Services {
        SerialPort& port;
        PortEnumerator& ports;
        MessagePump& pump;
    };
    // logFile mirrors the log, each line after logPrefix.
    CliSession(Services services, const std::optional<std::string>& logFile,
               const std::string& logPrefix = "");
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // The variant 1 or 2, or the one the window chooses at start.
    void selectVariant(std::optional<int> variant);

    Log log;
    StatusLine status;
    OperatorReport report{log, status};
    ProgrammerLink link;
    ProgrammerSession session{link, report};

  private:
    std::unique_ptr<LogMirror> mirror_;
};
