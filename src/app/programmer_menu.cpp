#include "app/programmer_menu.h"

ProgrammerMenu::ProgrammerMenu(MainMenu& menu, Log& log, ProgrammerSession& session,
                               std::function<void()> find, Timer* timerProg,
                               const ClickGuard& guard)
    : menu_(menu),
      session_(session),
      find_(std::move(find)),
      timerProg_(timerProg),
      serviceMode_(menu, log, session) {
    bind(guard);
}

void ProgrammerMenu::bind(const ClickGuard& guard) {
    MainMenu& m = menu_;
    bindItem(m.MainMenuProg, guard, [] {});
    bindRefreshBelow(m.MainMenuProg, guard);
    // "Установка MUX" has no action of its own.
    m.MainMenuProgMUX.setOnClick(nullptr);
    bindItem(m.MainMenuProgFind, guard, [this] { find(); });
    bindItem(m.MainMenuProgCheckRam, guard, [this] { session_.checkRam(); });
    bindItem(m.MainMenuProgCheckPorts, guard, [this] { session_.checkOutputs(); });
    bindItem(m.MainMenuProgVdd3, guard, [this] { session_.setSupply(Supply::Vdd3); });
    bindItem(m.MainMenuProgVdd5, guard, [this] { session_.setSupply(Supply::Vdd5); });
    bindItem(m.MainMenuProgVddU, guard, [this] { session_.setSupply(Supply::VddU); });
    // The programmer's state as last reported: by this click's refresh, or by
    // the last one that succeeded.
    bindItem(m.MainMenuProgVpr, guard, [this] {
        const auto& status = session_.lastStatus();
        session_.switchVpr(!(status && status->vpr));
    });
    const auto channels = m.channels();
    for (std::size_t i = 0; i < channels.size(); ++i) {
        bindItem(*channels[i], guard,
                 [this, i] { session_.selectMuxChannel(static_cast<int>(i)); });
    }
    // "Сервисный режим" turns before the multiplexer item follows the port.
    bindClick(m.MainMenuProgShow, guard, [this] {
        refresh();
        const bool open = session_.link().isOpen();
        if (open) serviceMode_.toggle();
        menu_.MainMenuProgMUX.setEnabled(open);
    });
}

void ProgrammerMenu::bindRefreshBelow(MenuItem& item, const ClickGuard& guard) {
    for (MenuItem* child : item.children()) {
        if (child->isSeparator()) continue;
        bindItem(*child, guard, [] {});
        bindRefreshBelow(*child, guard);
    }
}

void ProgrammerMenu::bindItem(MenuItem& item, const ClickGuard& guard,
                              std::function<void()> action) {
    bindClick(item, guard, [this, action = std::move(action)] { run(action); });
}

void ProgrammerMenu::run(const std::function<void()>& action) {
    refresh();
    menu_.MainMenuProgMUX.setEnabled(session_.link().isOpen());
    action();
}

void ProgrammerMenu::refresh() {
    const bool open = session_.link().isOpen();
    menu_.MainMenuProgVdd.setEnabled(open);
    if (!open) serviceMode_.portClosed();
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

void ProgrammerMenu::find() {
    if (find_) find_();
    // An error that escaped a firmware update (a cable pulled mid-way) left the
    // timer off; a programmer found again must get the update that was cut short.
    if (timerProg_ && session_.link().isOpen()) timerProg_->setEnabled(true);
}
