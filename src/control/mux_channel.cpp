#include "control/mux_channel.h"

std::string muxChannelCode(int channel) {
    std::string code;
    for (int bit = 2; bit >= 0; --bit) code += (channel >> bit) & 1 ? '1' : '0';
    return code;
}

std::optional<int> muxChannelOfCode(const std::string& code) {
    if (code.size() != 3) return std::nullopt;
    int channel = 0;
    for (char digit : code) {
        if (digit != '0' && digit != '1') return std::nullopt;
        channel = channel * 2 + (digit - '0');
    }
    return channel;
}

bool selectMuxChannel(ProgrammerLink& link, Report& report, int channel) {
    const std::string code = muxChannelCode(channel);
    const bool done = link.mux(code);
    report.line(done ? "Состояние выходов MUX=" + code + " установлено"
                     : "Ошибка установки состояния выходов MUX=" + code);
    return done;
}
