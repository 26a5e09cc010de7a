#include "app/programmer_menu.h"

ProgrammerMenu::ProgrammerMenu(MainMenu& menu, Log& log, ProgrammerSession& session,
                               std::function<void()> find, Timer* timerProg)
    : menu_(menu),
      session_(session),
      find_(std::move(find)),
      timerProg_(timerProg),
      serviceMode_(menu, log, session) {}

void ProgrammerMenu::MainMenuProgClick(MenuItem& sender) {
    refresh();
    const bool open = session_.link().isOpen();
    if (&sender == &menu_.MainMenuProgShow && open) serviceMode_.toggle();
    menu_.MainMenuProgMUX.setEnabled(open);
    dispatch(sender);
}

void ProgrammerMenu::refresh() {
    const bool open = session_.link().isOpen();
    menu_.MainMenuProgVdd.setEnabled(open);
    if (!open) {
        // Service mode counts as off from here; its other effects stay as they are.
        menu_.MainMenuProgCheckRam.setVisible(false);
        menu_.MainMenuProgCheckPorts.setVisible(false);
    }
    // A failed or short reply is not reported and leaves the marks as they were.
    if (const auto status = session_.readStatus()) showStatus(*status);
}

void ProgrammerMenu::showStatus(const ProgrammerStatus& status) {
    const auto channels = menu_.channels();
    for (std::size_t i = 0; i < channels.size(); ++i) {
        channels[i]->setChecked(status.channel == static_cast<int>(i));
    }
    menu_.MainMenuProgVpr.setChecked(status.vpr);
    menu_.MainMenuProgVdd3.setChecked(status.supply == Supply::Vdd3);
    menu_.MainMenuProgVdd5.setChecked(status.supply == Supply::Vdd5);
    menu_.MainMenuProgVddU.setChecked(status.supply == Supply::VddU);
}

bool ProgrammerMenu::dispatch(MenuItem& sender) {
    if (&sender == &menu_.MainMenuProgFind) {
        find();
        return true;
    }
    if (&sender == &menu_.MainMenuProgCheckRam) {
        session_.checkRam();
        return true;
    }
    if (&sender == &menu_.MainMenuProgCheckPorts) {
        session_.checkOutputs();
        return true;
    }
    if (dispatchSupply(sender)) return true;
    if (&sender == &menu_.MainMenuProgVpr) {
        // The mark was set by this run's refresh, or kept from the last one
        // that succeeded: it is the programmer's state as last reported.
        session_.switchVpr(!menu_.MainMenuProgVpr.checked());
        return true;
    }
    return dispatchChannel(sender);
}

void ProgrammerMenu::find() {
    if (find_) find_();
    // An error that escaped a firmware update (a cable pulled mid-way) left the
    // timer off; a programmer found again must get the update that was cut short.
    if (timerProg_ && session_.link().isOpen()) timerProg_->setEnabled(true);
}

bool ProgrammerMenu::dispatchSupply(MenuItem& sender) {
    if (&sender == &menu_.MainMenuProgVdd3) {
        session_.setSupply(Supply::Vdd3);
    } else if (&sender == &menu_.MainMenuProgVdd5) {
        session_.setSupply(Supply::Vdd5);
    } else if (&sender == &menu_.MainMenuProgVddU) {
        session_.setSupply(Supply::VddU);
    } else {
        return false;
    }
    return true;
}

bool ProgrammerMenu::dispatchChannel(MenuItem& sender) {
    const auto channels = menu_.channels();
    for (std::size_t i = 0; i < channels.size(); ++i) {
        if (&sender != channels[i]) continue;
        session_.selectMuxChannel(static_cast<int>(i));
        return true;
    }
    return false;
}
