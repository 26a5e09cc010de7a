#include "app/service_mode.h"

ServiceMode::ServiceMode(MainMenu& menu, Log& log, ProgrammerSession& session)
    : menu_(menu), log_(log), session_(session) {}

void ServiceMode::portClosed() {
    on_ = false;
    menu_.MainMenuProgCheckRam.setVisible(false);
    menu_.MainMenuProgCheckPorts.setVisible(false);
}

void ServiceMode::toggle() {
    const bool entering = !on_;
    on_ = entering;
    menu_.MainMenuProgCheckRam.setVisible(entering);
    menu_.MainMenuProgCheckPorts.setVisible(entering);
    // The two final-step options are off while they can be chosen and on again
    // (their everyday setting) when they are hidden.
    session_.options = ChipOptions{!entering, !entering};
    menu_.MainMenuChipLoadFuseFunal.setVisible(entering);
    menu_.MainMenuChipLoadFuseFunal.setChecked(!entering);
    menu_.MainMenuChipLoadRamFinal.setVisible(entering);
    menu_.MainMenuChipLoadRamFinal.setChecked(!entering);
    menu_.MainMenuProgVpr.setEnabled(entering);
    menu_.MainMenuChipDump.setVisible(entering);
    menu_.MainMenuChipDump.setEnabled(entering);
    menu_.MainMenuProgCheckPorts.setShortcut(entering ? "F12" : "");
    menu_.MainMenuProgCheckRam.setShortcut(entering ? "Shift+F12" : "");
    // Leaving turns the log the window's own colour, not the one it started with.
    log_.setBackground(entering ? kYellow : kSkyBlue);
    session_.link().Beep();
}
