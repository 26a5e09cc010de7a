#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "app/chip_menu.h"
#include "app/desktop.h"
#include "app/firmware_watch.h"
#include "app/programmer_menu.h"
#include "app/remembered_port.h"
#include "startup/settings_file.h"
#include "app/update_menu.h"
#include "chip/chip_buffer.h"
#include "http/http_cli.h"
#include "link/programmer_link.h"
#include "session/programmer_session.h"
#include "update/version_check.h"
#include "output/log.h"
#include "program_version.h"
#include "window/main_menu.h"
#include "output/status_line.h"
#include "output/operator_report.h"
#include "window/window_frame.h"

// TMAIN: the main window's model. It owns everything for the life of the
// process and dispatches the menus, the timers and the window's own events.
class MainWindow {
  public:
    static constexpr std::int32_t ProgramVersion = TELVARN_PROGRAM_VERSION;

    // Construction: a normal start, or the restart step when the first argument
    // is "PAUSE". Only the first argument is ever looked at.
    MainWindow(Desktop& desktop, std::vector<std::string> arguments);
    ~MainWindow();

    // Start-up: the programmer search, the settings and the firmware timer; the
    // restart step ("PAUSE") reads only the settings and leaves the link alone.
    void FormCreate();
    // Writes the settings and closes the link; a failed write raises and the
    // rest does not run.
    void FormClose();
    void MemoClear() { log.clear(); }

    // Runs a handler through the loop's one guard: an escaping error becomes
    // a message box and the program goes on. The menus' handlers, the timers'
    // ticks and the pump's posted calls all pass it.
    void guarded(const std::function<void()>& handler);

    std::string ProgramDirectory() const { return programDirectory_; }
    const std::string& firstArgument() const { return firstArgument_; }

    WindowFrame frame;
    MainMenu menu;
    Log log;
    StatusLine status;
    // The log and the status line as operations report to them.
    OperatorReport report{log, status};
    ProgrammerLink link;
    // What the operator does with the programmer and the chip; the menus are its view.
    ProgrammerSession session{link, report};
    ChipBuffer& chipBuffer = session.buffer();
    std::unique_ptr<Timer> TimerProg;
    std::unique_ptr<Timer> TimerHTTPGetVersion;
    std::unique_ptr<Timer> TimerHTTPGetVersionCbin;
    THttpCli HttpClientGetVersion;
    THttpCli HttpClientGetVersionCbin;

    // The view shows the window, closes it or paints it at once on these.
    Signal<> closeRequested;
    Signal<> repaintRequested;

  private:
    void wireMenus();
    ClickGuard clickGuard();
    void normalStart();
    void readSettings();
    UpdatePlaces updatePlaces(const char* versionPath, const char* downloadPath,
                              const std::string& localFileName) const;
    UpdateDesktop updateDesktop() const;

    Desktop& desktop_;
    std::string firstArgument_;
    std::string programDirectory_;
    SettingsFile settings_;
    RememberedPort rememberedPort_{settings_};
    std::string updateServer_;
    ChipMenu chipMenu_;
    ProgrammerMenu programmerMenu_;
    FirmwareWatch firmwareWatch_;
    UpdateShared updateShared_;
    VersionCheck versionCheck_;
    VersionCheck versionCheckCbin_;
    UpdateMenu updateMenu_;
    Connection restartRequested_;
};
