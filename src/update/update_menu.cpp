#include "update/update_menu.h"

void applyUpdateMenuRule(MainMenu& menu) {
    menu.MainMenuUpdate.setEnabled(menu.MainMenuUpdatePog.enabled() ||
                                   menu.MainMenuUpdateCbin.enabled());
}
