#pragma once

#include <utility>

#include "chip/chip_menu.h"
#include "support/fake_desktop.h"
#include "support/window_parts.h"

// The chip menu on the link of LinkRig (ScriptedLink or a SimRig), with its
// window parts, buffer and dialogs. Needs telvarn_chip: only chip tests and
// benches include it.
template <class LinkRig>
struct ChipMenuRig : LinkRig, WindowParts {
    template <class... Args>
    explicit ChipMenuRig(Args&&... args) : LinkRig(std::forward<Args>(args)...) {}

    void click(MenuItem& item) { chip.MainMenuChipClick(item); }

    FakeDialogs dialogs;
    ChipBuffer buffer;
    ChipMenu chip{ChipMenuContext{menu, this->link, log, status, buffer, dialogs, "/opt/telvarn"}};
};
