#pragma once

#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "base/message_pump.h"
#include "http/session_socket.h"

struct HWND__;  // HWND of <windows.h>, kept out of this header

// The HTTP client's socket over Winsock 2. The socket owns a hidden
// message-only window: Winsock reports the connection's events to it
// (WSAAsyncSelect), name resolution posts its answer to it, and the socket
// posts its own deferred calls to it. Whatever pumps the thread's messages
// thus drives the socket, and every notification comes from the loop, through
// the pump's guard, never from inside one of the socket's own operations.
// Events of a connection that has ended are recognised and dropped.
class Win32HttpSocket : public SessionSocket {
  public:
    // How long an orderly close may keep sending what the peer has not taken.
    static constexpr unsigned kLingerMs = 5000;

    explicit Win32HttpSocket(MessagePump& pump);
    ~Win32HttpSocket() override;
    Win32HttpSocket(const Win32HttpSocket&) = delete;
    Win32HttpSocket& operator=(const Win32HttpSocket&) = delete;

    void resolve(const std::string& host) override;
    void cancelResolve() override;
    void connectTo(const std::string& address, const std::string& port,
                   const std::string& localAddress) override;
    void send(std::string_view bytes) override;
    std::size_t receive(std::uint8_t* into, std::size_t max) override;
    std::string errorText(std::uint16_t code) const override;

    // The name resolution's shared state, between the socket and its worker.
    struct Lookup;

  protected:
    void post(std::function<void()> call) override;
    std::size_t unread() const override;
    void release(Shutdown how) override;

  private:
    friend class Win32HttpSocketWindow;

    // A socket closed in order whose queued bytes are still going out.
    struct Lingering {
        std::uintptr_t socket;
        std::string rest;
        std::uintptr_t timer;
    };

    bool onMessage(unsigned message, std::uintptr_t wParam, std::intptr_t lParam);
    void onSocketEvent(std::uintptr_t socket, unsigned event, std::uint16_t error);
    std::uint16_t flush();
    void linger(std::uintptr_t socket, std::string rest);
    void onLingerEvent(std::uintptr_t socket, unsigned event, std::uint16_t error);
    void onLingerTimer(std::uintptr_t timer);
    void endLingering(std::size_t index, Shutdown how);
    void finishLookup(std::uint64_t lookup, std::uint16_t code, const std::string& address);
    unsigned sessionMessage() const;
    void runPosted();
    [[noreturn]] void fail(std::uint16_t code);

    MessagePump& pump_;
    HWND__* window_ = nullptr;
    std::deque<std::function<void()>> posted_;

    std::uintptr_t socket_;
    std::string outbox_;
    std::size_t outboxSent_ = 0;
    std::vector<Lingering> lingering_;
    std::uintptr_t nextTimer_ = 1;

    std::shared_ptr<Lookup> lookup_;
    std::uint64_t lookupId_ = 0;
};
