#pragma once

#include <functional>
#include <memory>
#include <utility>

#include "control/programmer_menu.h"
#include "support/window_parts.h"

// The programmer menu on the link of LinkRig (ScriptedLink or a SimRig), with
// its window parts and the firmware update's timer; "Поиск" counts and does
// what the test gives it to do. Needs telvarn_control: only control tests and
// benches include it.
template <class LinkRig>
struct ProgrammerMenuRig : LinkRig, WindowParts {
    template <class... Args>
    explicit ProgrammerMenuRig(Args&&... args) : LinkRig(std::forward<Args>(args)...) {}

    void choose(MenuItem& item) { handler.MainMenuProgClick(item); }

    int discoveries = 0;
    std::function<void()> discovery;
    std::unique_ptr<Timer> timerProg = this->pump.createTimer([] {});
    ProgrammerMenu handler{ProgrammerMenuContext{menu, this->link, log, status,
                                                 [this] {
                                                     ++discoveries;
                                                     if (discovery) discovery();
                                                 },
                                                 timerProg.get()}};
};
