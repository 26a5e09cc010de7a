#pragma once

#include <string>
#include <vector>

#include "control/ram_check.h"
#include "control/random_source.h"
#include "support/ram_model.h"
#include "support/recorded_report.h"
#include "support/scripted_link.h"

// The control operations on a scripted port, their report recorded.
struct ControlRig : ScriptedLink {
    RecordedReport log;
    RandomSource random;

    void open() { link.open(); }
    bool checkRam() { return runRamCheck(link, log, random); }
    std::vector<Bytes> framesOf(const std::string& word) const {
        return framesBeginningWith(port.written, word);
    }
};
