#include "sim/simulated_port.h"

#include <algorithm>
#include <vector>

#include "base/errors.h"

namespace {

// What a real port reports for operations on a handle that is not open.
constexpr int kInvalidHandle = 6;
// What the program's own port reports for a name the system does not have,
// and for an operation whose device has gone from the line (Qt's numbers).
constexpr int kNoSuchPort = 1;
constexpr int kDeviceGone = 6;

constexpr std::chrono::seconds kUnpluggedFor{3};

}  // namespace

SimulatedPort::SimulatedPort(SimulatedProgrammer& device, bool modelWireTime, SimClock& clock)
    : device_(device), modelWireTime_(modelWireTime), clock_(clock) {}

void SimulatedPort::requireOpen(const char* text) const {
    if (!open_) throw PortError(text, kInvalidHandle);
}

bool SimulatedPort::devicePresent() {
    if (!device_.unplugged()) return true;
    if (!pluggedBackAt_ || clock_.now() < *pluggedBackAt_) return false;
    pluggedBackAt_.reset();
    device_.plugBackIn();
    return true;
}

void SimulatedPort::open(const std::string& name) {
    if (open_) return;
    if (!devicePresent()) throw PortError(port_failure::kOpenFailed, kNoSuchPort);
    open_ = true;
    name_ = name;
    incoming_.clear();
}

void SimulatedPort::close() {
    if (!open_) return;
    // Releasing the port lets DTR fall, which ends a reset the host left hanging.
    if (device_.heldInReset()) device_.setDtr(false);
    open_ = false;
    incoming_.clear();
}

void SimulatedPort::purge() {
    requireOpen(port_failure::kPurgeFailed);
    // The device gives up on a half-received frame and whatever is still on
    // its way is dropped, so a late reply never counts for the next frame.
    incoming_.clear();
    deviceLineFree_ = {};
    device_.dropPartialInput();
}

void SimulatedPort::setReadTimeouts(const ReadTimeouts& timeouts) {
    requireOpen(port_failure::kTimeoutsFailed);
    timeouts_ = timeouts;
}

std::size_t SimulatedPort::write(const Bytes& bytes) {
    const char* failed = port_failure::kWriteFailed;
    requireOpen(failed);
    const WireClock::time_point start = clock_.now();
    const std::vector<SimTransmission> replies = device_.receive(bytes);
    if (device_.unplugged()) loseDevice(start, bytes.size(), failed);
    bytesWritten_ += bytes.size();
    // The device acts on the frame once its last byte is through the line.
    const WireClock::time_point sent = modelWireTime_ ? start + wireTime(bytes.size()) : start;
    schedule(replies, sent);
    if (modelWireTime_) clock_.sleepUntil(sent);
    return bytes.size();
}

void SimulatedPort::loseDevice(WireClock::time_point start, std::size_t frameSize,
                               const char* failed) {
    const std::size_t through = frameSize / 2;
    const WireClock::time_point pulled = modelWireTime_ ? start + wireTime(through) : start;
    bytesWritten_ += through;
    pluggedBackAt_ = pulled + kUnpluggedFor;
    clock_.sleepUntil(pulled);
    open_ = false;
    incoming_.clear();
    throw PortError(failed, kDeviceGone);
}

void SimulatedPort::schedule(const std::vector<SimTransmission>& transmissions,
                             WireClock::time_point sent) {
    for (const SimTransmission& transmission : transmissions) {
        if (!modelWireTime_) {
            for (std::uint8_t byte : transmission.bytes) incoming_.push_back({byte, sent});
            continue;
        }
        const WireClock::time_point begin = std::max(sent + transmission.work, deviceLineFree_);
        for (std::size_t i = 0; i < transmission.bytes.size(); ++i) {
            incoming_.push_back({transmission.bytes[i], begin + wireTime(i + 1)});
        }
        deviceLineFree_ = begin + wireTime(transmission.bytes.size());
    }
}

void SimulatedPort::wait(std::uint32_t ms) {
    requireOpen(port_failure::kWaitFailed);
    if (!modelWireTime_) return;
    std::optional<WireClock::time_point> first;
    if (!incoming_.empty()) first = incoming_.front().at;
    clock_.sleepUntil(planWait(first, ms, clock_.now()));
}

Bytes SimulatedPort::read(std::size_t n) {
    requireOpen(port_failure::kReadFailed);
    std::size_t count = std::min(n, incoming_.size());
    if (modelWireTime_) {
        std::vector<WireClock::time_point> arrivals;
        arrivals.reserve(count);
        for (std::size_t i = 0; i < count; ++i) arrivals.push_back(incoming_[i].at);
        const PlannedRead plan = planRead(arrivals, n, timeouts_, clock_.now());
        clock_.sleepUntil(plan.end);
        count = plan.count;
    }
    Bytes bytes;
    bytes.reserve(count);
    for (std::size_t i = 0; i < count; ++i) bytes.push_back(incoming_[i].byte);
    incoming_.erase(incoming_.begin(), incoming_.begin() + static_cast<std::ptrdiff_t>(count));
    bytesRead_ += count;
    return bytes;
}

void SimulatedPort::setDtr(bool on) {
    requireOpen(port_failure::kDtrFailed);
    device_.setDtr(on);
    if (!on) return;
    // A device in reset stops sending: what has not reached us yet never will.
    const WireClock::time_point now = clock_.now();
    while (!incoming_.empty() && incoming_.back().at > now) incoming_.pop_back();
    deviceLineFree_ = {};
}
