#include "control/supply_commands.h"

namespace {

// What the vdd command carries, in the order of Supply.
std::string selectorOf(Supply supply) {
    static const char* const kSelectors[] = {"3", "5", "U"};
    return kSelectors[static_cast<int>(supply)];
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
