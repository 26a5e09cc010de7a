#include "control/outputs_check.h"

bool runOutputsCheck(ProgrammerLink& link, Log& log) {
    const bool passed = link.test();
    log.append(passed ? "Тестовая посылка выполнена" : "Ошибка выполнения тестовой посылки");
    return passed;
}
