#include "platform_win32/win32_serial_port.h"

#include <windows.h>

#include <algorithm>
#include <chrono>

#include "base/errors.h"
#include "platform_win32/win32_text.h"

namespace {

// The driver's queues: room for the longest frame (1037 bytes) and its reply.
constexpr DWORD kQueueBytes = 1100;
constexpr DWORD kWriteMsPerByte = 100;
constexpr DWORD kWriteConstantMs = 1000;
// How often the bounded wait looks at the input queue, so that it notices a reply at once.
constexpr DWORD kPollMs = 1;

using namespace port_failure;

HANDLE asHandle(void* handle) {
    return static_cast<HANDLE>(handle);
}

// The errors with which an open handle tells that its device has gone. Which one an unplugged
// USB adapter gives depends on its driver; Wine, whose COM ports are Unix terminals, gives
// ERROR_NOT_READY (EIO) once the line has hung up.
bool isLineLost(DWORD code) {
    switch (code) {
        case ERROR_BAD_COMMAND:
        case ERROR_DEVICE_REMOVED:
        case ERROR_OPERATION_ABORTED:
        case ERROR_GEN_FAILURE:
        case ERROR_ACCESS_DENIED:
        case ERROR_INVALID_HANDLE:
        case ERROR_DEVICE_NOT_CONNECTED:
        case ERROR_NOT_READY:
            return true;
        default:
            return false;
    }
}

}  // namespace

Win32SerialPort::~Win32SerialPort() {
    release();
}

void Win32SerialPort::open(const std::string& name) {
    if (isOpen()) return;
    // The device namespace reaches COM10 and above too, which the plain name does not.
    const std::wstring path = L"\\\\.\\" + utf8ToWide(name);
    // Share mode 0: nobody else may talk to the programmer while this program does. The
    // serial driver refuses a second open; Wine's ports, Unix terminals, do not.
    const HANDLE handle = CreateFileW(path.c_str(), GENERIC_READ | GENERIC_WRITE, 0, nullptr,
                                      OPEN_EXISTING, 0, nullptr);
    if (handle == INVALID_HANDLE_VALUE) {
        throw PortError(kOpenFailed, static_cast<int>(GetLastError()));
    }
    handle_ = handle;
    try {
        if (!SetupComm(handle, kQueueBytes, kQueueBytes)) fail(kBuffersFailed);
        configureLine();
        applyTimeouts();
    } catch (...) {
        release();
        throw;
    }
}

// 115200 8N1, raw bytes both ways, and DTR and RTS held low: a raised DTR holds the programmer
// in reset, and only the reset pulse may drive it.
void Win32SerialPort::configureLine() {
    DCB dcb{};
    dcb.DCBlength = sizeof dcb;
    if (!GetCommState(asHandle(handle_), &dcb)) fail(kLineFailed);
    dcb.BaudRate = CBR_115200;
    dcb.ByteSize = 8;
    dcb.Parity = NOPARITY;
    dcb.StopBits = ONESTOPBIT;
    dcb.fBinary = TRUE;
    dcb.fParity = FALSE;
    dcb.fOutxCtsFlow = FALSE;
    dcb.fOutxDsrFlow = FALSE;
    dcb.fDtrControl = DTR_CONTROL_DISABLE;
    dcb.fDsrSensitivity = FALSE;
    dcb.fTXContinueOnXoff = TRUE;
    dcb.fOutX = FALSE;
    dcb.fInX = FALSE;
    dcb.fErrorChar = FALSE;
    dcb.fNull = FALSE;
    dcb.fRtsControl = RTS_CONTROL_DISABLE;
    // Otherwise one framing error would fail every later read until the error is cleared.
    dcb.fAbortOnError = FALSE;
    if (!SetCommState(asHandle(handle_), &dcb)) fail(kLineFailed);
}

void Win32SerialPort::applyTimeouts() {
    COMMTIMEOUTS timeouts{};
    timeouts.ReadIntervalTimeout = timeouts_.interval;
    timeouts.ReadTotalTimeoutMultiplier = timeouts_.multiplier;
    timeouts.ReadTotalTimeoutConstant = timeouts_.constant;
    timeouts.WriteTotalTimeoutMultiplier = kWriteMsPerByte;
    timeouts.WriteTotalTimeoutConstant = kWriteConstantMs;
    if (!SetCommTimeouts(asHandle(handle_), &timeouts)) fail(kTimeoutsFailed);
}

void Win32SerialPort::close() {
    if (!isOpen()) return;
    const bool aborted = PurgeComm(asHandle(handle_), PURGE_RXABORT | PURGE_RXCLEAR |
                                                          PURGE_TXABORT | PURGE_TXCLEAR) != 0;
    const DWORD code = GetLastError();
    // The port is released even when the abort failed, so that it can be opened again.
    release();
    if (!aborted) throw PortError(kPurgeFailed, static_cast<int>(code));
}

bool Win32SerialPort::isOpen() const {
    return handle_ != nullptr;
}

// Wine purges a terminal that has hung up without a word, so the line's status is asked too:
// the purge opens every exchange, and the link is to meet an unplug there.
void Win32SerialPort::purge() {
    requireOpen(kPurgeFailed);
    if (!PurgeComm(asHandle(handle_),
                   PURGE_RXABORT | PURGE_RXCLEAR | PURGE_TXABORT | PURGE_TXCLEAR)) {
        fail(kPurgeFailed);
    }
    inputQueued(kPurgeFailed);
}

// Kept for the next open too: a port opened afresh must not keep another program's time-outs.
void Win32SerialPort::setReadTimeouts(const ReadTimeouts& timeouts) {
    requireOpen(kTimeoutsFailed);
    timeouts_ = timeouts;
    applyTimeouts();
}

std::size_t Win32SerialPort::write(const Bytes& bytes) {
    requireOpen(kWriteFailed);
    if (bytes.empty()) return 0;
    DWORD written = 0;
    // A write that runs out of its time-out returns what went; the rest is dropped, not sent late.
    if (!WriteFile(asHandle(handle_), bytes.data(), static_cast<DWORD>(bytes.size()), &written,
                   nullptr)) {
        fail(kWriteFailed);
    }
    return written;
}

// Polls the input queue rather than waiting on a comm event: the event wait can only be
// bounded with overlapped I/O, which this port does not use.
void Win32SerialPort::wait(std::uint32_t ms) {
    requireOpen(kWaitFailed);
    using Clock = std::chrono::steady_clock;
    const auto deadline = Clock::now() + std::chrono::milliseconds(ms);
    while (inputQueued(kWaitFailed) == 0 && Clock::now() < deadline) Sleep(kPollMs);
}

Bytes Win32SerialPort::read(std::size_t n) {
    requireOpen(kReadFailed);
    Bytes got(std::min<std::size_t>(n, MAXDWORD));
    DWORD count = 0;
    if (!got.empty() &&
        !ReadFile(asHandle(handle_), got.data(), static_cast<DWORD>(got.size()), &count, nullptr)) {
        fail(kReadFailed);
    }
    got.resize(count);
    // A line that hung up may end a read quietly, as if it were silent (Wine's terminals do).
    if (count < n) inputQueued(kReadFailed);
    return got;
}

void Win32SerialPort::setDtr(bool on) {
    requireOpen(kDtrFailed);
    if (!EscapeCommFunction(asHandle(handle_), on ? SETDTR : CLRDTR)) fail(kDtrFailed);
}

// A closed port answers as the system does for a handle that is not open.
void Win32SerialPort::requireOpen(const char* failText) const {
    if (!isOpen()) throw PortError(failText, ERROR_INVALID_HANDLE);
}

// The bytes waiting in the driver. The status call fails on a line whose device has gone,
// where a silent line answers.
std::uint32_t Win32SerialPort::inputQueued(const char* failText) {
    DWORD errors = 0;
    COMSTAT status{};
    if (!ClearCommError(asHandle(handle_), &errors, &status)) fail(failText);
    return status.cbInQue;
}

void Win32SerialPort::release() {
    if (handle_ == nullptr) return;
    CloseHandle(asHandle(handle_));
    handle_ = nullptr;
}

void Win32SerialPort::fail(const char* text) {
    const DWORD code = GetLastError();
    // Nothing more can be said to a device that has gone: the port is released, so that every
    // later command fails at once without touching it and "Поиск" opens it afresh.
    if (isLineLost(code)) release();
    throw PortError(text, static_cast<int>(code));
}
