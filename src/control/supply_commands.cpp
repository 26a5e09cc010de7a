#include "control/supply_commands.h"

namespace {

// What the vdd command carries.
std::string selectorOf(Supply supply) {
    switch (supply) {
        case Supply::Vdd3:
            return "3";
        case Supply::Vdd5:
            return "5";
        case Supply::VddU:
            break;
    }
    return "U";
}

}  // namespace

std::string supplyName(Supply supply) {
    return "VDD" + selectorOf(supply);
}

bool setSupply(ProgrammerLink& link, Report& report, Supply supply) {
    const std::string name = supplyName(supply);
    const bool done = link.vdd(selectorOf(supply));
    report.line(done ? "Напряжение " + name + " установлено"
                     : "Ошибка установки напряжения " + name);
    return done;
}

bool switchVpr(ProgrammerLink& link, Report& report, bool on) {
    const bool done = link.vpr(on);
    if (on) {
        report.line(done ? "Напряжение VPR установлено" : "Ошибка установки напряжения VPR");
    } else {
        report.line(done ? "Напряжение VPR отключено" : "Ошибка отключения напряжения VPR");
    }
    return done;
}
