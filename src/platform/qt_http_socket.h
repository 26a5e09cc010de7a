#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/message_pump.h"
#include "http/session_socket.h"

class QObject;
class QTcpSocket;

// The HTTP client's socket over QTcpSocket and QHostInfo. Qt's signals only
// record what happened and post the notification, so the client never hears
// from inside one of its own calls, and every notification of a connection
// that has ended is dropped. The posted notifications enter the core through
// the pump's guard, around the socket's own catch of the client's errors.
class QtHttpSocket : public SessionSocket {
  public:
    // What the socket holds for a slow reader; past that, TCP's flow control
    // holds the peer back, so a large download never piles up in memory.
    static constexpr std::int64_t kReadBufferBytes = 64 * 1024;

    explicit QtHttpSocket(MessagePump& pump);
    ~QtHttpSocket() override;
    QtHttpSocket(const QtHttpSocket&) = delete;
    QtHttpSocket& operator=(const QtHttpSocket&) = delete;

    void resolve(const std::string& host) override;
    void cancelResolve() override;
    void connectTo(const std::string& address, const std::string& port,
                   const std::string& localAddress) override;
    void send(std::string_view bytes) override;
    std::size_t receive(std::uint8_t* into, std::size_t max) override;
    std::string errorText(std::uint16_t code) const override;

  protected:
    void post(std::function<void()> call) override;
    std::size_t unread() const override;
    void release(Shutdown how) override;

  private:
    QTcpSocket* openSocket(const std::string& localAddress);
    void watch(QTcpSocket* socket);
    void onError(int qtError);
    void finishLookup(std::uint64_t lookup, std::uint16_t code, const std::string& address);
    [[noreturn]] void fail(std::uint16_t code);

    MessagePump& pump_;
    std::unique_ptr<QObject> context_;
    QTcpSocket* socket_ = nullptr;
    int lookupId_ = -1;
    std::uint64_t lookup_ = 0;
};
