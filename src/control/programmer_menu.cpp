#include "control/programmer_menu.h"

#include "control/menu_refresh.h"
#include "control/mux_channel.h"
#include "control/outputs_check.h"
#include "control/ram_check.h"
#include "control/supply_commands.h"

ProgrammerMenu::ProgrammerMenu(ProgrammerMenuContext context)
    : c_(std::move(context)), serviceMode_(c_.menu, c_.log, c_.link) {}

void ProgrammerMenu::MainMenuProgClick(MenuItem& sender) {
    MainMenu& menu = c_.menu;
    refreshProgrammerMenu(menu, c_.link);
    if (&sender == &menu.MainMenuProgShow && c_.link.isOpen()) serviceMode_.toggle();
    menu.MainMenuProgMUX.setEnabled(c_.link.isOpen());
    dispatch(sender);
}

bool ProgrammerMenu::dispatch(MenuItem& sender) {
    MainMenu& menu = c_.menu;
    if (&sender == &menu.MainMenuProgFind) {
        find();
        return true;
    }
    if (&sender == &menu.MainMenuProgCheckRam) {
        runRamCheck(c_.link, c_.log, c_.status, random_);
        return true;
    }
    if (&sender == &menu.MainMenuProgCheckPorts) {
        runOutputsCheck(c_.link, c_.log);
        return true;
    }
    if (dispatchSupply(sender)) return true;
    if (&sender == &menu.MainMenuProgVpr) {
        // The mark was set by this run's refresh, or kept from the last one
        // that succeeded: it is the programmer's state as last reported.
        switchVpr(c_.link, c_.log, menu.MainMenuProgVpr.checked());
        return true;
    }
    return dispatchChannel(sender);
}

void ProgrammerMenu::find() {
    if (c_.discovery) c_.discovery();
    // An error that escaped a firmware update (a cable pulled mid-way) left the
    // timer off; a programmer found again must get the update that was cut short.
    if (c_.timerProg && c_.link.isOpen()) c_.timerProg->setEnabled(true);
}

bool ProgrammerMenu::dispatchSupply(MenuItem& sender) {
    MainMenu& menu = c_.menu;
    if (&sender == &menu.MainMenuProgVdd3) {
        setSupply(c_.link, c_.log, "3", "VDD3");
    } else if (&sender == &menu.MainMenuProgVdd5) {
        setSupply(c_.link, c_.log, "5", "VDD5");
    } else if (&sender == &menu.MainMenuProgVddU) {
        setSupply(c_.link, c_.log, "U", "VDDU");
    } else {
        return false;
    }
    return true;
}

bool ProgrammerMenu::dispatchChannel(MenuItem& sender) {
    for (MenuItem* channel : c_.menu.channels()) {
        if (&sender != channel) continue;
        selectMuxChannel(c_.link, c_.log, channelCode(*channel));
        return true;
    }
    return false;
}
