#pragma once

#include "base/signal.h"
#include "update/version_check.h"
#include "window/main_menu.h"

// "Обновление" as a view of the two checks: "Программы" and "Прошивки" are
// enabled while their check has a download to offer, "Обновление" while
// either is.
class UpdateMenu {
  public:
    UpdateMenu(MainMenu& menu, VersionCheck& program, VersionCheck& firmware);

  private:
    void show();

    MainMenu& menu_;
    VersionCheck& program_;
    VersionCheck& firmware_;
    Connection programChanged_;
    Connection firmwareChanged_;
};
