#include "cli/cli_session.h"

#include "app/front_end.h"
#include "chip/chip_operation.h"
#include "control/outputs_check.h"
#include "control/ram_check.h"
#include "update/firmware_update.h"

CliSession::CliSession(Services services, bool confirmed, const std::optional<std::string>& logFile)
    : pump_(services.pump),
      dialogs_(confirmed),
      link(services.port, services.ports, services.pump, beeper_),
      chipContext_{menu, link, log, status, buffer, dialogs_, ""},
      chipMenu_(chipContext_),
      programmerMenu_(ProgrammerMenuContext{menu, link, log, status, [this] {
                                                discovery_ = runDiscovery(
                                                    link, report, ProgrammerFirmwareVersion);
                                            }}) {
    mirror_ = mirrorLog(log, logFile);
}

DiscoveryResult CliSession::find() {
    discovery_ = DiscoveryResult{};
    programmerMenu_.MainMenuProgClick(menu.MainMenuProgFind);
    return discovery_;
}

void CliSession::selectVariant(std::optional<int> variant) {
    if (!variant) return chipMenu_.SelectStartUpVariant();
    chipMenu_.MainMenuChipClick(*variant == 1 ? menu.MainMenuChipMode01 : menu.MainMenuChipMode02);
}

BufferLoad CliSession::load(const std::string& path) {
    return loadDataFileIntoBuffer(path, buffer, log);
}

bool CliSession::operate(ChipOperationKind kind) {
    return RunChipOperation(kind, chipContext_);
}

bool CliSession::checkRam() {
    return runRamCheck(link, log, status, programmerMenu_.random());
}

bool CliSession::checkOutputs() {
    return runOutputsCheck(link, log);
}

bool CliSession::flash(const std::string& path) {
    bool updated = false;
    // The window's timer starts the update; here the one tick is called
    // directly, and the timer the update switches off and on again is idle.
    const auto timer = pump_.createTimer([] {});
    FirmwareUpdate update(
        FirmwareUpdateContext{link, log, status, *timer, path, nullptr, [&] { updated = true; }});
    update.TimerProgTimer();
    return updated;
}
