#include "platform_win32/win32_http_socket.h"

// Winsock's headers must come before <windows.h>.
// clang-format off
#include <winsock2.h>
#include <ws2tcpip.h>
#include <windows.h>
// clang-format on

#include <algorithm>
#include <atomic>
#include <charconv>
#include <mutex>
#include <thread>
#include <utility>

#include "platform_win32/win32_socket_errors.h"

namespace errors = win32_socket_errors;

namespace {

// The socket window's messages. Each connection has a number of its own from
// a range, so that events Winsock queued for an ended connection are not taken
// for those of a later one that got the same handle.
constexpr UINT kPostedCall = WM_APP + 1;
constexpr UINT kLookupDone = WM_APP + 2;
constexpr UINT kLingerEvent = WM_APP + 3;
constexpr UINT kSessionFirst = WM_APP + 0x100;
constexpr UINT kSessionCount = 0x3000;
constexpr long kEvents = FD_CONNECT | FD_READ | FD_WRITE | FD_CLOSE;

// One send call at most, so that the int of send() never overflows.
constexpr std::size_t kSendPiece = 1 << 20;

const wchar_t kWindowClass[] = L"TelvarnHttpSocket";

// Lookup numbers are unique in the process: an answer that reaches another
// socket's window (a reused handle) never matches its lookup.
std::atomic<std::uint64_t> lookupNumbers{0};

void startWinsock() {
    static const int started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data);
    }();
    if (started != 0) {
        const auto code = errors::fromLookup(started);
        throw SocketError(errors::text(code), code);
    }
}

bool isAnyAddress(const std::string& address) {
    return address.empty() || address == "0.0.0.0";
}

// A numeric IPv4 or IPv6 address with a port, as the socket calls take it.
struct Endpoint {
    sockaddr_storage storage{};
    int length = 0;

    const sockaddr* address() const { return reinterpret_cast<const sockaddr*>(&storage); }
    int family() const { return storage.ss_family; }
};

bool parseEndpoint(const std::string& text, std::uint16_t port, Endpoint& endpoint) {
    endpoint = Endpoint{};
    auto* v4 = reinterpret_cast<sockaddr_in*>(&endpoint.storage);
    if (inet_pton(AF_INET, text.c_str(), &v4->sin_addr) == 1) {
        v4->sin_family = AF_INET;
        v4->sin_port = htons(port);
        endpoint.length = sizeof(sockaddr_in);
        return true;
    }
    auto* v6 = reinterpret_cast<sockaddr_in6*>(&endpoint.storage);
    if (inet_pton(AF_INET6, text.c_str(), &v6->sin6_addr) == 1) {
        v6->sin6_family = AF_INET6;
        v6->sin6_port = htons(port);
        endpoint.length = sizeof(sockaddr_in6);
        return true;
    }
    return false;
}

std::string addressText(const sockaddr* address) {
    char text[INET6_ADDRSTRLEN] = {};
    const void* raw =
        address->sa_family == AF_INET
            ? static_cast<const void*>(&reinterpret_cast<const sockaddr_in*>(address)->sin_addr)
            : static_cast<const void*>(&reinterpret_cast<const sockaddr_in6*>(address)->sin6_addr);
    if (inet_ntop(address->sa_family, raw, text, sizeof text) == nullptr) return {};
    return text;
}

// The port as a number from 1 to 65535, or 0.
std::uint16_t parsePort(const std::string& text) {
    unsigned number = 0;
    const auto [end, failure] = std::from_chars(text.data(), text.data() + text.size(), number);
    if (failure != std::errc() || end != text.data() + text.size() || number > 65535) return 0;
    return static_cast<std::uint16_t>(number);
}

void closeAbortively(SOCKET socket) {
    // A zero linger time turns the close into a reset: nothing is sent after it.
    linger now{1, 0};
    setsockopt(socket, SOL_SOCKET, SO_LINGER, reinterpret_cast<const char*>(&now), sizeof now);
    closesocket(socket);
}

void closeInOrder(SOCKET socket) {
    // The system still sends what it holds after the close returns.
    shutdown(socket, SD_SEND);
    closesocket(socket);
}

}  // namespace

// Written by the worker, read by the socket once the answer is posted.
struct Win32HttpSocket::Lookup {
    std::uint64_t id = 0;
    HWND window = nullptr;
    std::string host;
    std::mutex mutex;
    std::uint16_t code = 0;
    std::string address;
};

// ---- the window

class Win32HttpSocketWindow {
  public:
    static LRESULT CALLBACK procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        auto* socket = reinterpret_cast<Win32HttpSocket*>(GetWindowLongPtrW(window, GWLP_USERDATA));
        if (socket != nullptr && socket->onMessage(message, static_cast<std::uintptr_t>(wParam),
                                                   static_cast<std::intptr_t>(lParam))) {
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    static void registerClass() {
        static const ATOM atom = [] {
            WNDCLASSEXW windowClass{};
            windowClass.cbSize = sizeof windowClass;
            windowClass.lpfnWndProc = &procedure;
            windowClass.hInstance = GetModuleHandleW(nullptr);
            windowClass.lpszClassName = kWindowClass;
            return RegisterClassExW(&windowClass);
        }();
        if (atom == 0) throw SocketError("no window class for the socket", errors::kUnknown);
    }
};

Win32HttpSocket::Win32HttpSocket(MessagePump& pump) : pump_(pump), socket_(INVALID_SOCKET) {
    startWinsock();
    Win32HttpSocketWindow::registerClass();
    window_ = CreateWindowExW(0, kWindowClass, L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr,
                              GetModuleHandleW(nullptr), nullptr);
    if (window_ == nullptr) throw SocketError("no window for the socket", errors::kUnknown);
    SetWindowLongPtrW(window_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
}

Win32HttpSocket::~Win32HttpSocket() {
    cancelResolve();
    if (socket_ != INVALID_SOCKET) closeAbortively(std::exchange(socket_, INVALID_SOCKET));
    while (!lingering_.empty()) endLingering(lingering_.size() - 1, Shutdown::Abortive);
    // Messages still queued for the window die with it.
    SetWindowLongPtrW(window_, GWLP_USERDATA, 0);
    DestroyWindow(window_);
}

bool Win32HttpSocket::onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam) {
    const auto event = static_cast<unsigned>(WSAGETSELECTEVENT(lParam));
    const auto error = static_cast<std::uint16_t>(WSAGETSELECTERROR(lParam));
    if (message == kPostedCall) {
        pump_.guarded([this] { runPosted(); });
    } else if (message == kLookupDone) {
        pump_.guarded([this, wParam] {
            if (!lookup_ || lookup_->id != wParam) return;  // cancelled or superseded
            std::uint16_t code;
            std::string address;
            {
                const std::lock_guard<std::mutex> hold(lookup_->mutex);
                code = lookup_->code;
                address = lookup_->address;
            }
            finishLookup(wParam, code, address);
        });
    } else if (message == kLingerEvent) {
        pump_.guarded([&] { onLingerEvent(wParam, event, error); });
    } else if (message == WM_TIMER) {
        pump_.guarded([&] { onLingerTimer(wParam); });
    } else if (message >= kSessionFirst && message < kSessionFirst + kSessionCount) {
        if (message == sessionMessage()) {
            pump_.guarded([&] { onSocketEvent(wParam, event, error); });
        }
    } else {
        return false;
    }
    return true;
}

unsigned Win32HttpSocket::sessionMessage() const {
    return kSessionFirst + static_cast<unsigned>(session_ % kSessionCount);
}

void Win32HttpSocket::post(std::function<void()> call) {
    posted_.push_back(std::move(call));
    // A message that cannot be posted (a full queue) loses no call: the next
    // one runs every call waiting.
    PostMessageW(window_, kPostedCall, 0, 0);
}

void Win32HttpSocket::runPosted() {
    // Calls posted by these calls wait for their own message.
    for (std::size_t waiting = posted_.size(); waiting > 0 && !posted_.empty(); --waiting) {
        const std::function<void()> call = std::move(posted_.front());
        posted_.pop_front();
        call();
    }
}

void Win32HttpSocket::fail(std::uint16_t code) {
    lastError_ = code;
    throw SocketError(errors::text(code), code);
}

// ---- name resolution

namespace {

// Runs on a worker thread: getaddrinfo may wait seconds for a name server,
// and the window must not. The answer is posted to the socket's window; a
// socket that has gone meanwhile simply never receives it.
void resolveOnWorker(const std::shared_ptr<Win32HttpSocket::Lookup>& lookup) {
    addrinfo hints{};
    hints.ai_family = AF_UNSPEC;
    hints.ai_socktype = SOCK_STREAM;
    hints.ai_protocol = IPPROTO_TCP;
    addrinfo* found = nullptr;
    std::uint16_t code =
        errors::fromLookup(getaddrinfo(lookup->host.c_str(), nullptr, &hints, &found));
    std::string address;
    if (code == errors::kNone) {
        // The first IPv4 address when there is one: the servers of the field
        // are reached over IPv4, and a name often resolves to IPv6 first.
        const addrinfo* chosen = nullptr;
        for (const addrinfo* entry = found; entry != nullptr; entry = entry->ai_next) {
            if (entry->ai_family == AF_INET) {
                chosen = entry;
                break;
            }
            if (chosen == nullptr && entry->ai_family == AF_INET6) chosen = entry;
        }
        if (chosen != nullptr) address = addressText(chosen->ai_addr);
        if (address.empty()) code = errors::kNoAddress;
    }
    if (found != nullptr) freeaddrinfo(found);
    {
        const std::lock_guard<std::mutex> hold(lookup->mutex);
        lookup->code = code;
        lookup->address = address;
    }
    PostMessageW(lookup->window, kLookupDone, static_cast<WPARAM>(lookup->id), 0);
}

}  // namespace

void Win32HttpSocket::resolve(const std::string& host) {
    cancelResolve();
    if (host.empty()) fail(errors::kHostNotFound);
    const std::uint64_t id = ++lookupNumbers;
    if (Endpoint literal; parseEndpoint(host, 0, literal)) {
        // Answered at once, and still heard from the loop.
        lookupId_ = id;
        post([this, id, address = addressText(literal.address())] {
            finishLookup(id, errors::kNone, address);
        });
        return;
    }
    auto lookup = std::make_shared<Lookup>();
    lookup->id = id;
    lookup->window = window_;
    lookup->host = host;
    try {
        std::thread([lookup] { resolveOnWorker(lookup); }).detach();
    } catch (const std::system_error&) {
        fail(errors::kNoBufferSpace);
    }
    lookup_ = std::move(lookup);
    lookupId_ = id;
}

void Win32HttpSocket::finishLookup(std::uint64_t lookup, std::uint16_t code,
                                   const std::string& address) {
    if (lookup != lookupId_) return;  // cancelled, or another resolution began
    cancelResolve();
    if (code != errors::kNone) lastError_ = code;
    notifyDnsLookupDone(code, address);
}

void Win32HttpSocket::cancelResolve() {
    // The worker cannot be stopped; its answer finds no lookup and is dropped.
    lookup_.reset();
    lookupId_ = 0;
}

// ---- connecting

void Win32HttpSocket::connectTo(const std::string& address, const std::string& port,
                                const std::string& localAddress) {
    if (phase_ != Phase::Idle) fail(errors::kAlreadyConnected);
    const std::uint16_t portNumber = parsePort(port);
    Endpoint target;
    if (portNumber == 0 || !parseEndpoint(address, portNumber, target)) {
        fail(errors::kInvalidArgument);
    }
    Endpoint local;
    const bool bindLocal = !isAnyAddress(localAddress);
    if (bindLocal &&
        (!parseEndpoint(localAddress, 0, local) || local.family() != target.family())) {
        fail(errors::kInvalidArgument);
    }
    const SOCKET socket = ::socket(target.family(), SOCK_STREAM, IPPROTO_TCP);
    if (socket == INVALID_SOCKET) fail(errors::lastError());
    // The session's own message number comes with it.
    beginConnecting();
    if ((bindLocal && ::bind(socket, local.address(), local.length) != 0) ||
        WSAAsyncSelect(socket, window_, sessionMessage(), kEvents) != 0) {
        const std::uint16_t code = errors::lastError();
        closesocket(socket);
        phase_ = Phase::Idle;  // nothing was started
        fail(code);
    }
    socket_ = socket;
    outbox_.clear();
    outboxSent_ = 0;
    if (::connect(socket, target.address(), target.length) == 0) {
        connectionMade();
        return;
    }
    const std::uint16_t code = errors::lastError();
    // A refusal on this machine may come at once; it is still heard from the loop.
    if (code != WSAEWOULDBLOCK) failConnect(code);
}

void Win32HttpSocket::onSocketEvent(std::uintptr_t socket, unsigned event, std::uint16_t error) {
    if (socket != socket_) return;  // an ended connection's handle
    switch (event) {
        case FD_CONNECT:
            if (phase_ != Phase::Connecting) return;
            if (error != errors::kNone) {
                failConnect(error);
            } else {
                connectionMade();
            }
            return;
        case FD_WRITE:
            if (phase_ != Phase::Connected) return;
            if (const std::uint16_t code = flush(); code != errors::kNone) {
                peerError_ = lastError_ = code;
                onPeerClosed();
            }
            return;
        case FD_READ:
            if (phase_ == Phase::Connected) deliverData();
            return;
        case FD_CLOSE:
            if (phase_ == Phase::Connecting) {
                failConnect(error != errors::kNone ? error : errors::kConnectionReset);
                return;
            }
            if (error != errors::kNone) peerError_ = lastError_ = error;
            onPeerClosed();
            return;
        default:
            return;
    }
}

// ---- data

void Win32HttpSocket::send(std::string_view bytes) {
    if (!connected()) fail(errors::kNotConnected);
    outbox_.append(bytes);
    if (const std::uint16_t code = flush(); code != errors::kNone) fail(code);
}

std::uint16_t Win32HttpSocket::flush() {
    while (outboxSent_ < outbox_.size()) {
        const std::size_t piece = std::min(outbox_.size() - outboxSent_, kSendPiece);
        const int sent = ::send(socket_, outbox_.data() + outboxSent_, static_cast<int>(piece), 0);
        if (sent == SOCKET_ERROR) {
            const std::uint16_t code = errors::lastError();
            // The rest goes out at the next FD_WRITE.
            return code == WSAEWOULDBLOCK ? errors::kNone : code;
        }
        outboxSent_ += static_cast<std::size_t>(sent);
    }
    outbox_.clear();
    outboxSent_ = 0;
    return errors::kNone;
}

std::size_t Win32HttpSocket::receive(std::uint8_t* into, std::size_t max) {
    if (socket_ == INVALID_SOCKET || max == 0) return 0;
    const int want = static_cast<int>(std::min<std::size_t>(max, kSendPiece));
    const int got = ::recv(socket_, reinterpret_cast<char*>(into), want, 0);
    // Errors and the peer's close arrive as FD_CLOSE.
    if (got <= 0) return 0;
    countTaken(static_cast<std::size_t>(got));
    return static_cast<std::size_t>(got);
}

std::size_t Win32HttpSocket::unread() const {
    u_long waiting = 0;
    if (socket_ == INVALID_SOCKET || ioctlsocket(socket_, FIONREAD, &waiting) != 0) return 0;
    return waiting;
}

// ---- closing

void Win32HttpSocket::release(Shutdown how) {
    const SOCKET socket = std::exchange(socket_, INVALID_SOCKET);
    if (socket == INVALID_SOCKET) return;
    dataPosted_ = false;
    std::string rest = outbox_.substr(outboxSent_);
    outbox_.clear();
    outboxSent_ = 0;
    if (how == Shutdown::Orderly && phase_ == Phase::Connected && !peerClosed_ && !rest.empty()) {
        linger(socket, std::move(rest));
        return;
    }
    WSAAsyncSelect(socket, window_, 0, 0);
    if (how == Shutdown::Orderly) {
        closeInOrder(socket);
    } else {
        closeAbortively(socket);
    }
}

// ---- an orderly close that still has bytes to send

void Win32HttpSocket::linger(std::uintptr_t socket, std::string rest) {
    // Queued bytes go out first; a peer that never takes them does not keep
    // the socket forever.
    const std::uintptr_t timer = nextTimer_++;
    lingering_.push_back({socket, std::move(rest), timer});
    SetTimer(window_, timer, kLingerMs, nullptr);
    // Writable now or later: Winsock posts FD_WRITE for the new message.
    if (WSAAsyncSelect(socket, window_, kLingerEvent, FD_WRITE | FD_CLOSE) != 0) {
        endLingering(lingering_.size() - 1, Shutdown::Abortive);
    }
}

void Win32HttpSocket::onLingerEvent(std::uintptr_t socket, unsigned event, std::uint16_t error) {
    const auto found = std::find_if(lingering_.begin(), lingering_.end(),
                                    [socket](const Lingering& l) { return l.socket == socket; });
    if (found == lingering_.end()) return;
    const auto index = static_cast<std::size_t>(found - lingering_.begin());
    if (event != FD_WRITE || error != errors::kNone) {
        endLingering(index, Shutdown::Abortive);
        return;
    }
    std::string& rest = found->rest;
    while (!rest.empty()) {
        const int piece = static_cast<int>(std::min(rest.size(), kSendPiece));
        const int sent = ::send(socket, rest.data(), piece, 0);
        if (sent == SOCKET_ERROR) {
            if (WSAGetLastError() != WSAEWOULDBLOCK) endLingering(index, Shutdown::Abortive);
            return;
        }
        rest.erase(0, static_cast<std::size_t>(sent));
    }
    endLingering(index, Shutdown::Orderly);
}

void Win32HttpSocket::onLingerTimer(std::uintptr_t timer) {
    const auto found = std::find_if(lingering_.begin(), lingering_.end(),
                                    [timer](const Lingering& l) { return l.timer == timer; });
    if (found != lingering_.end()) {
        endLingering(static_cast<std::size_t>(found - lingering_.begin()), Shutdown::Abortive);
    }
}

void Win32HttpSocket::endLingering(std::size_t index, Shutdown how) {
    const Lingering ending = std::move(lingering_[index]);
    lingering_.erase(lingering_.begin() + static_cast<std::ptrdiff_t>(index));
    KillTimer(window_, ending.timer);
    WSAAsyncSelect(ending.socket, window_, 0, 0);
    if (how == Shutdown::Orderly) {
        closeInOrder(ending.socket);
    } else {
        closeAbortively(ending.socket);
    }
}

std::string Win32HttpSocket::errorText(std::uint16_t code) const {
    return errors::text(code);
}
