#include "link/programmer_link.h"

#include "base/errors.h"
#include "link/port_list.h"

ProgrammerLink::ProgrammerLink(SerialPort& port, PortEnumerator& ports, MessagePump& pump,
                               Beeper& beeper)
    : port_(port), ports_(ports), pump_(pump), beeper_(beeper) {}

void ProgrammerLink::setPortName(const std::string& name) {
    if (name == portName_) return;
    portName_ = name;
    if (port_.isOpen()) {
        port_.close();
        open();
    }
}

void ProgrammerLink::open() {
    if (port_.isOpen()) return;
    port_.open(portName_);
    try {
        port_.setReadTimeouts(readTimeouts_);
    } catch (...) {
        port_.close();
        throw;
    }
}

void ProgrammerLink::close() {
    port_.close();
}

const std::vector<std::string>& ProgrammerLink::refreshPortList() {
    portList_ = ports_.listPorts();
    sortPortList(portList_);
    return portList_;
}

namespace {

bool judged(const Bytes& reply, std::size_t replyLength) {
    if (reply.size() != replyLength) return false;
    return replyLength != 2 || (reply[0] == 'O' && reply[1] == 'K');
}

}  // namespace

bool ProgrammerLink::Exchange(const Bytes& frame, std::uint32_t timeoutMs,
                              std::uint32_t replyWaitMs, std::size_t replyLength, Bytes& reply) {
    auto got = transact([&] { return frame; }, timeoutMs, replyWaitMs, replyLength,
                        TimeoutErrors::Fail);
    reply = got ? std::move(*got) : Bytes();
    return got && judged(reply, replyLength);
}

std::optional<Bytes> ProgrammerLink::transact(const std::function<Bytes()>& buildFrame,
                                              std::uint32_t timeoutMs, std::uint32_t replyWaitMs,
                                              std::size_t replyLength,
                                              TimeoutErrors timeoutErrors) {
    if (!port_.isOpen()) return std::nullopt;
    port_.purge();
    const Bytes frame = buildFrame();
    const ReadTimeouts timeouts{timeoutMs, timeoutMs, timeoutMs};
    auto applyTimeouts = [&] {
        readTimeouts_ = timeouts;
        port_.setReadTimeouts(timeouts);
    };
    if (timeoutErrors == TimeoutErrors::Escape) applyTimeouts();
    try {
        if (timeoutErrors == TimeoutErrors::Fail) applyTimeouts();
        port_.write(frame);
        port_.wait(replyWaitMs);
        Bytes reply = port_.read(replyLength);
        if (reply.size() > replyLength) reply.resize(replyLength);
        return reply;
    } catch (const PortError&) {
        return std::nullopt;
    }
}

bool ProgrammerLink::okCommand(const std::function<Bytes()>& buildFrame, std::uint32_t timeoutMs,
                               std::uint32_t replyWaitMs) {
    const auto reply = transact(buildFrame, timeoutMs, replyWaitMs, 2, TimeoutErrors::Fail);
    return reply && judged(*reply, 2);
}

bool ProgrammerLink::ResetPulse() {
    if (!port_.isOpen()) return false;
    port_.setDtr(true);
    pump_.sleep(1);
    port_.setDtr(false);
    pump_.sleep(500);
    return true;
}

void ProgrammerLink::TripleBeep() {
    Beep();
    WaitPumping(200);
    Beep();
    WaitPumping(200);
    Beep();
}

Bytes commandFrame(const std::string& word, std::initializer_list<std::uint8_t> arguments) {
    Bytes frame(word.begin(), word.end());
    frame.insert(frame.end(), arguments.begin(), arguments.end());
    return frame;
}
