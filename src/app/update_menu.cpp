#include "app/update_menu.h"

UpdateMenu::UpdateMenu(MainMenu& menu, VersionCheck& program, VersionCheck& firmware)
    : menu_(menu),
      program_(program),
      firmware_(firmware),
      programChanged_(program.downloadableChanged.connect([this] { show(); })),
      firmwareChanged_(firmware.downloadableChanged.connect([this] { show(); })) {
    show();
}

void UpdateMenu::show() {
    menu_.MainMenuUpdatePog.setEnabled(program_.downloadable());
    menu_.MainMenuUpdateCbin.setEnabled(firmware_.downloadable());
    menu_.MainMenuUpdate.setEnabled(program_.downloadable() || firmware_.downloadable());
}
