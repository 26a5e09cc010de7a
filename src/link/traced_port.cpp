#include "link/traced_port.h"

#include <chrono>
#include <ctime>

#include "base/text.h"

TracedPort::TracedPort(SerialPort& inner, const std::string& path)
    : inner_(inner), file_(path, "trace file") {}

void TracedPort::open(const std::string& name) {
    name_ = name;
    inner_.open(name);
}

std::size_t TracedPort::write(const Bytes& bytes) {
    trace(">", bytes);
    return inner_.write(bytes);
}

Bytes TracedPort::read(std::size_t n) {
    Bytes bytes = inner_.read(n);
    trace("<", bytes);
    return bytes;
}

void TracedPort::trace(const char* direction, const Bytes& bytes) {
    if (!file_.isOpen()) return;
    std::string line =
        traceTimestamp() + ' ' + direction + ' ' + name_ + ' ' + std::to_string(bytes.size()) + ':';
    if (!bytes.empty()) line += ' ' + hexBytes(bytes);
    file_.writeLine(line);
}

std::string traceTimestamp() {
    using namespace std::chrono;
    const auto now = system_clock::now();
    const std::time_t seconds = system_clock::to_time_t(now);
    const auto millis = duration_cast<milliseconds>(now.time_since_epoch()).count() % 1000;
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &seconds);
#else
    localtime_r(&seconds, &local);
#endif
    char text[32];
    std::snprintf(text, sizeof text, "%02d:%02d:%02d.%03d", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(millis));
    return text;
}

std::string hexBytes(const Bytes& bytes) {
    std::string text;
    text.reserve(bytes.size() * 3);
    for (std::size_t i = 0; i < bytes.size(); ++i) {
        if (i > 0) text += ' ';
        text += hexByte(bytes[i]);
    }
    return text;
}
