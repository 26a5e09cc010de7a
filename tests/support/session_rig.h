#pragma once

#include "session/programmer_session.h"
#include "output/log.h"
#include "output/operator_report.h"
#include "output/status_line.h"

// A programmer session on the link of LinkRig (ScriptedLink or a SimRig), its
// report kept as the window keeps it, in a log and a status line. Needs
// telvarn_session: only session and app tests and the benches include it.
template <class LinkRig>
struct SessionRig : LinkRig {
    template <class... Args>
    explicit SessionRig(Args&&... args) : LinkRig(std::forward<Args>(args)...) {}

    Log log;
    StatusLine status;
    OperatorReport report{log, status};
    ProgrammerSession session{this->link, report};
};
