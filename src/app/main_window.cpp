#include "app/main_window.h"

#include <filesystem>
#include <system_error>

#include "startup/program_files.h"
#include "app/restart_step.h"
#include "startup/update_server.h"
#include "base/file_path.h"
#include "base/text.h"

namespace {

std::string firstOf(const std::vector<std::string>& arguments) {
    return arguments.empty() ? std::string() : arguments.front();
}

}  // namespace

MainWindow::MainWindow(Desktop& desktop, std::vector<std::string> arguments)
    : link(desktop.port, desktop.ports, desktop.pump, desktop.beeper),
      // The pump runs every tick through the loop's guard.
      TimerProg(desktop.pump.createTimer([this] { firmwareWatch_.TimerProgTimer(); })),
      TimerHTTPGetVersion(desktop.pump.createTimer([this] { versionCheck_.TimerTick(); })),
      TimerHTTPGetVersionCbin(desktop.pump.createTimer([this] { versionCheckCbin_.TimerTick(); })),
      HttpClientGetVersion("HttpClientGetVersion", desktop.versionSocket, desktop.pump),
      HttpClientGetVersionCbin("HttpClientGetVersionCbin", desktop.versionCbinSocket, desktop.pump),
      desktop_(desktop),
      firstArgument_(firstOf(arguments)),
      programDirectory_(programDirectoryOf(desktop.system.executablePath())),
      settings_(inFolder(programDirectory_, kSettingsFileName)),
      updateServer_(updateServerBase(settings_, desktop.updateServer)),
      chipMenu_(menu, session, desktop.dialogs, programDirectory_, clickGuard()),
      programmerMenu_(
          menu, log, session, [this] { rememberedPort_.find(session); }, TimerProg.get(),
          clickGuard()),
      firmwareWatch_(session, *TimerProg, inFolder(programDirectory_, kFirmwareName),
                     [this] { repaintRequested(); },
                     [this] {
                         if (firstArgument_ == "AUTOEXIT") closeRequested();
                     }),
      updateShared_{ReleaseTrust{desktop.releaseKey}, {}},
      versionCheck_(programChannel(), HttpClientGetVersion, *TimerHTTPGetVersion,
                    updatePlaces(kProgramVersionPath, kProgramDownloadPath, kVersionFileName),
                    updateDesktop(), updateShared_, report, [] { return ProgramVersion; }),
      versionCheckCbin_(
          firmwareChannel(), HttpClientGetVersionCbin, *TimerHTTPGetVersionCbin,
          updatePlaces(kFirmwareVersionPath, kFirmwareDownloadPath, kVersionCbinFileName),
          updateDesktop(), updateShared_, report, [this] { return session.firmwareVersion(); }),
      updateMenu_(menu, versionCheck_, versionCheckCbin_),
      restartRequested_(versionCheck_.restartRequested.connect([this] { closeRequested(); })) {
    // What escapes a call from the loop becomes a message box; the report
    // holds only the dialogs, which outlive every window on them.
    desktop.pump.reportErrorsTo([&dialogs = desktop.dialogs](const std::string& text) {
        dialogs.showError(text);
    });
    TimerProg->setInterval(1000);
    wireMenus();

    if (firstArgument_ == "PAUSE") {
        runRestartStep(desktop.pump, desktop.system, programDirectory_);
    } else {
        normalStart();
    }
}

MainWindow::~MainWindow() = default;

UpdatePlaces MainWindow::updatePlaces(const char* versionPath, const char* downloadPath,
                                      const std::string& localFileName) const {
    const UpdateTargets targets{inFolder(programDirectory_, kProgramFileName),
                                savedProgramFileName(ProgramVersion),
                                inFolder(programDirectory_, savedProgramFileName(ProgramVersion)),
                                inFolder(programDirectory_, kFirmwareName)};
    return UpdatePlaces{updateServer_ + versionPath, updateServer_ + downloadPath,
                        inFolder(programDirectory_, localFileName), targets};
}

UpdateDesktop MainWindow::updateDesktop() const {
    return UpdateDesktop{desktop_.dialogs, desktop_.beeper, desktop_.pump, desktop_.system};
}

void MainWindow::normalStart() {
    chipBuffer.fill();
    std::error_code ignored;
    std::filesystem::remove(pathFromUtf8(inFolder(programDirectory_, kVersionFileName)), ignored);
    std::filesystem::remove(pathFromUtf8(inFolder(programDirectory_, kVersionCbinFileName)),
                            ignored);
    TimerHTTPGetVersion->setEnabled(true);
    TimerHTTPGetVersionCbin->setEnabled(true);
}

// The chip and programmer menus bind their own items.
void MainWindow::wireMenus() {
    const ClickGuard guard = clickGuard();
    bindClick(menu.MainMenuUpdatePog, guard, [this] { versionCheck_.DownloadClick(); });
    bindClick(menu.MainMenuUpdateCbin, guard, [this] { versionCheckCbin_.DownloadClick(); });
    bindClick(menu.MainMenuHelpAbout, guard,
              [this] { log.append("Версия программы Telvarn : " + decimal(ProgramVersion)); });
    bindClick(menu.MainMenuHelpLoadCbin, guard,
              [this] { desktop_.system.openUrl(updateServer_ + kFirmwareDownloadPath); });
}

ClickGuard MainWindow::clickGuard() {
    return [this](const std::function<void()>& action) { guarded(action); };
}

void MainWindow::guarded(const std::function<void()>& handler) {
    desktop_.pump.guarded(handler);
}

void MainWindow::FormCreate() {
    guarded([this] {
        log.clear();
        // The restart step's instance has just started the program, which
        // searches the serial ports itself: a second search at the same moment
        // would take a port from under it.
        if (firstArgument_ == "PAUSE") {
            readSettings();
            return;
        }
        rememberedPort_.read();
        programmerMenu_.findProgrammer();
        readSettings();
        chipMenu_.SelectStartUpVariant();
        TimerProg->setEnabled(true);
    });
}

void MainWindow::readSettings() {
    frame.setTop(settings_.readInteger("VIEW", "TOP", 100));
    frame.setLeft(settings_.readInteger("VIEW", "LEFT", 100));
    frame.setHeight(settings_.readInteger("VIEW", "HEIGHT", 300));
    frame.setWidth(settings_.readInteger("VIEW", "WIDTH", 700));
}

void MainWindow::FormClose() {
    settings_.writeInteger("VIEW", "TOP", frame.top());
    settings_.writeInteger("VIEW", "LEFT", frame.left());
    settings_.writeInteger("VIEW", "HEIGHT", frame.height());
    settings_.writeInteger("VIEW", "WIDTH", frame.width());
    const auto& variant = session.variant();
    if (variant == kVariant01) settings_.writeString("CHIP", "TYPE", "01");
    if (variant == kVariant02) settings_.writeString("CHIP", "TYPE", "02");
    rememberedPort_.write();
    try {
        link.close();
    } catch (const std::exception&) {
    }
}

