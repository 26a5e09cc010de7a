#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "app/log_mirror.h"
#include "chip/buffer_load.h"
#include "chip/chip_buffer.h"
#include "chip/chip_menu.h"
#include "chip/chip_variant.h"
#include "cli/cli_desktop.h"
#include "control/programmer_menu.h"
#include "link/discovery.h"
#include "link/programmer_link.h"
#include "window/log.h"
#include "window/main_menu.h"
#include "window/status_line.h"
#include "window/window_report.h"

// The core objects the main window owns for its programmer and chip work,
// wired the same way, with one call for each thing the operator does there.
// Nothing here decides anything the window's handlers do not.
class CliSession {
    // First, since the link and the chip menu hold on to them.
    MessagePump& pump_;
    QuietBeeper beeper_;
    CliDialogs dialogs_;

  public:
    struct Services {
        SerialPort& port;
        PortEnumerator& ports;
        MessagePump& pump;
    };
    // confirmed answers the window's "Вы уверены?"; logFile mirrors the log.
    CliSession(Services services, bool confirmed, const std::optional<std::string>& logFile);
    CliSession(const CliSession&) = delete;
    CliSession& operator=(const CliSession&) = delete;

    // "Поиск", as at start.
    DiscoveryResult find();
    // The variant item 1 or 2, or the choice the window makes at start.
    void selectVariant(std::optional<int> variant);
    // "Загрузить файл в буфер" with the file already chosen.
    BufferLoad load(const std::string& path);
    // "Прошить" or "Прожечь"; true when the chip was programmed or burnt.
    bool operate(ChipOperationKind kind);
    // "Проверка RAM" and "Проверка выходов"; true when passed.
    bool checkRam();
    bool checkOutputs();
    // One tick of the firmware update, for the firmware file at path (which
    // it deletes once flashed); true when every page was programmed.
    bool flash(const std::string& path);

    MainMenu menu;
    Log log;
    StatusLine status;
    // The log and the status line as operations report to them.
    WindowReport report{log, status};
    ChipBuffer buffer;
    std::int32_t ProgrammerFirmwareVersion = -1;
    ProgrammerLink link;

  private:
    ChipMenuContext chipContext_;
    ChipMenu chipMenu_;
    ProgrammerMenu programmerMenu_;
    DiscoveryResult discovery_;
    std::unique_ptr<LogMirror> mirror_;
};
