#include "control/outputs_check.h"

bool runOutputsCheck(ProgrammerLink& link, Report& report) {
    const bool passed = link.test();
    report.line(passed ? "Тестовая посылка выполнена" : "Ошибка выполнения тестовой посылки");
    return passed;
}
