#include "platform/qt_serial_port.h"

#include <QSerialPort>
#include <algorithm>
#include <cerrno>
#include <chrono>
#include <climits>
#include <string>

#ifdef __linux__
#include <fcntl.h>
#include <unistd.h>
#endif

#include "base/errors.h"

namespace {

using Clock = std::chrono::steady_clock;
using Millis = std::chrono::milliseconds;

constexpr qint32 kBaudRate = 115200;
constexpr std::uint64_t kWriteMsPerByte = 100;
constexpr std::uint64_t kWriteConstantMs = 1000;

using namespace port_failure;

int clampMs(std::uint64_t ms) {
    return static_cast<int>(std::min<std::uint64_t>(ms, INT_MAX));
}

// Whole milliseconds left until the deadline, rounded up so that a wait never ends short of
// it; 0 once it has passed.
int msUntil(Clock::time_point deadline) {
    const auto left = std::chrono::ceil<Millis>(deadline - Clock::now()).count();
    return left <= 0 ? 0 : clampMs(static_cast<std::uint64_t>(left));
}

// Qt names a refused port, a port in use and a port it could not lock alike; only the system
// refusing the device node itself to this user is the refusal of its permissions.
bool refusedToUser(const QString& name) {
#ifdef __linux__
    const bool path = name.startsWith('/') || name.startsWith("./") || name.startsWith("../");
    const std::string location = (path ? name : "/dev/" + name).toLocal8Bit().toStdString();
    return faccessat(AT_FDCWD, location.c_str(), R_OK | W_OK, AT_EACCESS) != 0 && errno == EACCES;
#else
    (void)name;
    return false;
#endif
}

// A wait that ran out, or one Qt ended without naming a fault, is not a port failure.
bool isQuiet(QSerialPort::SerialPortError error) {
    return error == QSerialPort::NoError || error == QSerialPort::TimeoutError;
}

// The device has gone from the line (an unplugged cable). Qt names that a resource error;
// where a vanished device hangs the line up (Linux), reading it fails as a read error.
bool isLineLost(QSerialPort::SerialPortError error) {
    return error == QSerialPort::ResourceError || error == QSerialPort::ReadError;
}

}  // namespace

QtSerialPort::QtSerialPort() : port_(std::make_unique<QSerialPort>()) {}
QtSerialPort::~QtSerialPort() = default;

void QtSerialPort::open(const std::string& name) {
    if (port_->isOpen()) return;
    port_->setPortName(QString::fromStdString(name));
    port_->clearError();
    // Qt opens exclusively by itself (a lock file and TIOCEXCL on Unix, no sharing on Windows).
    if (!port_->open(QIODevice::ReadWrite)) fail(kOpenFailed);
    try {
        configureLine();
        dropModemLines();
    } catch (...) {
        port_->close();
        throw;
    }
}

void QtSerialPort::configureLine() {
    // Qt's own read buffer stays unbounded: a bound would stall waitForBytesWritten as soon
    // as unread input filled it, and the driver's queue already limits what the device sends.
    port_->clearError();
    const bool lineSet = port_->setBaudRate(kBaudRate) && port_->setDataBits(QSerialPort::Data8) &&
                         port_->setParity(QSerialPort::NoParity) &&
                         port_->setStopBits(QSerialPort::OneStop) &&
                         port_->setFlowControl(QSerialPort::NoFlowControl);
    if (!lineSet) fail(kLineFailed);
}

// Opening raises DTR and RTS on Linux, and a raised DTR holds the programmer in reset: only
// the reset pulse may drive it. A port without modem lines (a pseudo-terminal, some virtual
// ports) has nothing to drop, so that refusal is not a fault.
void QtSerialPort::dropModemLines() {
    port_->clearError();
    if (!port_->setDataTerminalReady(false) &&
        port_->error() != QSerialPort::UnsupportedOperationError) {
        fail(kLineFailed);
    }
    port_->clearError();
    if (!port_->setRequestToSend(false) &&
        port_->error() != QSerialPort::UnsupportedOperationError) {
        fail(kLineFailed);
    }
    port_->clearError();
}

void QtSerialPort::close() {
    if (!port_->isOpen()) return;
    port_->clearError();
    const bool aborted = port_->clear(QSerialPort::AllDirections);
    const int code = errorNumber();
    // The port is released even when the abort failed, so that it can be opened again.
    port_->close();
    if (!aborted) throw PortError(kPurgeFailed, code);
}

bool QtSerialPort::isOpen() const {
    return port_->isOpen();
}

// clear() empties Qt's own buffers as well as the driver's, so bytes that an earlier wait
// already pulled into Qt are discarded too.
void QtSerialPort::purge() {
    requireOpen(kPurgeFailed);
    port_->clearError();
    if (!port_->clear(QSerialPort::AllDirections)) fail(kPurgeFailed);
}

void QtSerialPort::setReadTimeouts(const ReadTimeouts& timeouts) {
    timeouts_ = timeouts;
}

std::size_t QtSerialPort::write(const Bytes& bytes) {
    requireOpen(kWriteFailed);
    if (bytes.empty()) return 0;
    port_->clearError();
    const auto size = static_cast<qint64>(bytes.size());
    if (port_->write(reinterpret_cast<const char*>(bytes.data()), size) != size) {
        fail(kWriteFailed);
    }
    const auto deadline = Clock::now() + Millis(kWriteMsPerByte * bytes.size() + kWriteConstantMs);
    while (port_->bytesToWrite() > 0) {
        const int left = msUntil(deadline);
        if (left == 0) break;
        port_->clearError();
        if (!port_->waitForBytesWritten(left) && !isQuiet(port_->error())) fail(kWriteFailed);
    }
    const auto unsent = std::max<qint64>(port_->bytesToWrite(), 0);
    // What missed the write time-out is dropped, as a timed-out write is, not sent late.
    if (unsent > 0) port_->clear(QSerialPort::Output);
    return bytes.size() - static_cast<std::size_t>(unsent);
}

void QtSerialPort::wait(std::uint32_t ms) {
    requireOpen(kWaitFailed);
    if (port_->bytesAvailable() > 0) return;
    waitForInput(clampMs(ms), kWaitFailed);
}

Bytes QtSerialPort::read(std::size_t n) {
    requireOpen(kReadFailed);
    Bytes got;
    got.reserve(n);
    const auto start = Clock::now();
    const auto total = start + Millis(std::uint64_t{timeouts_.multiplier} * n + timeouts_.constant);
    auto lastArrival = start;
    for (;;) {
        if (takeBuffered(got, n - got.size()) > 0) lastArrival = Clock::now();
        if (got.size() >= n) break;
        auto deadline = total;
        // An interval of 0 means no limit between bytes, as on the system this port mimics.
        if (!got.empty() && timeouts_.interval != 0) {
            deadline = std::min(total, lastArrival + Millis(timeouts_.interval));
        }
        const int left = msUntil(deadline);
        if (left == 0) break;
        waitForInput(left, kReadFailed);
    }
    return got;
}

void QtSerialPort::setDtr(bool on) {
    requireOpen(kDtrFailed);
    port_->clearError();
    if (!port_->setDataTerminalReady(on)) fail(kDtrFailed);
}

void QtSerialPort::requireOpen(const char* failText) {
    if (!port_->isOpen()) throw PortError(failText, QSerialPort::NotOpenError);
    // Qt may have found the device gone while the event loop ran since the last operation;
    // this one reports it at once instead of waiting on a dead line.
    if (isLineLost(port_->error())) fail(failText);
}

// Blocks until new bytes reach Qt's buffer or ms pass; only a fault of the port is raised.
void QtSerialPort::waitForInput(int ms, const char* failText) {
    port_->clearError();
    if (!port_->waitForReadyRead(ms) && !isQuiet(port_->error())) fail(failText);
}

std::size_t QtSerialPort::takeBuffered(Bytes& into, std::size_t most) {
    const auto count = std::min<qint64>(port_->bytesAvailable(), static_cast<qint64>(most));
    if (count <= 0) return 0;
    const std::size_t old = into.size();
    into.resize(old + static_cast<std::size_t>(count));
    const qint64 got = port_->read(reinterpret_cast<char*>(into.data() + old), count);
    const auto taken = static_cast<std::size_t>(std::max<qint64>(got, 0));
    into.resize(old + taken);
    return taken;
}

// Qt hides the system's error number, so its own error code stands in for it; but a port the
// system refuses to this user is EACCES, which the operator can mend (the group dialout).
int QtSerialPort::errorNumber() const {
    QSerialPort::SerialPortError error = port_->error();
    if (error == QSerialPort::PermissionError && refusedToUser(port_->portName())) return EACCES;
    if (error == QSerialPort::NoError) {
        error = port_->isOpen() ? QSerialPort::UnknownError : QSerialPort::NotOpenError;
    }
    return static_cast<int>(error);
}

void QtSerialPort::fail(const char* text) {
    const int code = errorNumber();
    // Nothing more can be said to a device that has gone: the port is released, so that every
    // later command fails at once without touching it and "Поиск" opens it afresh.
    if (isLineLost(port_->error())) port_->close();
    throw PortError(text, code);
}
