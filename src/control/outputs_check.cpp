#include "control/outputs_check.h"

void runOutputsCheck(ProgrammerLink& link, Log& log) {
    log.append(link.test() ? "Тестовая посылка выполнена" : "Ошибка выполнения тестовой посылки");
}
