#include "control/service_mode.h"

ServiceMode::ServiceMode(MainMenu& menu, Log& log, ProgrammerLink& link)
    : menu_(menu), log_(log), link_(link) {}

void ServiceMode::toggle() {
    const bool entering = !on();
    menu_.MainMenuProgCheckRam.setVisible(entering);
    menu_.MainMenuProgCheckPorts.setVisible(entering);
    // The two final-step options are unmarked while they can be chosen and
    // marked again (their everyday setting) when they are hidden.
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
    link_.Beep();
}
