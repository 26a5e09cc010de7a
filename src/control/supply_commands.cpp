#include "control/supply_commands.h"

void setSupply(ProgrammerLink& link, Log& log, const std::string& selector,
               const std::string& name) {
    if (link.vdd(selector)) {
        log.append("Напряжение " + name + " установлено");
    } else {
        log.append("Ошибка установки напряжения " + name);
    }
}

void switchVpr(ProgrammerLink& link, Log& log, bool markedOn) {
    const bool switchOn = !markedOn;
    const bool done = link.vpr(switchOn);
    if (switchOn) {
        log.append(done ? "Напряжение VPR установлено" : "Ошибка установки напряжения VPR");
    } else {
        log.append(done ? "Напряжение VPR отключено" : "Ошибка отключения напряжения VPR");
    }
}
