#include "control/mux_channel.h"

void selectMuxChannel(ProgrammerLink& link, Log& log, const std::string& code) {
    if (link.mux(code)) {
        log.append("Состояние выходов MUX=" + code + " установлено");
    } else {
        log.append("Ошибка установки состояния выходов MUX=" + code);
    }
}
