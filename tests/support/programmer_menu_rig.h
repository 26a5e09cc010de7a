#pragma once

#include <utility>

#include "control/programmer_menu.h"
#include "support/window_parts.h"

// The programmer menu on the link of LinkRig (ScriptedLink or a SimRig), with
// its window parts; "Поиск" only counts. Needs telvarn_control: only control
// tests and benches include it.
template <class LinkRig>
struct ProgrammerMenuRig : LinkRig, WindowParts {
    template <class... Args>
    explicit ProgrammerMenuRig(Args&&... args) : LinkRig(std::forward<Args>(args)...) {}

    void choose(MenuItem& item) { handler.MainMenuProgClick(item); }

    int discoveries = 0;
    ProgrammerMenu handler{
        ProgrammerMenuContext{menu, this->link, log, status, [this] { ++discoveries; }}};
};
