#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "base/message_pump.h"
#include "http/http_socket.h"

class QObject;
class QTcpSocket;

// The HTTP client's socket over QTcpSocket and QHostInfo. Qt's signals only
// record what happened and post the notification, so the client never hears
// from inside one of its own calls, and every notification of a connection
// that has ended is dropped. The posted notifications enter the core through
// the pump's guard, around the socket's own catch of the client's errors.
class QtHttpSocket : public HttpSocket {
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
    void close() override;
    void closeDelayed() override;
    void abort() override;
    bool connected() const override;
    std::uint16_t lastError() const override;
    std::string errorText(std::uint16_t code) const override;

  protected:
    void abortAfterHandlerError() override;

  private:
    // Idle: no connection. Ending: the connection is gone and its close
    // notification is on its way.
    enum class Phase { Idle, Connecting, Connected, Ending };
    enum class Shutdown { Orderly, Abortive, Destroying };

    QTcpSocket* openSocket(const std::string& localAddress);
    void watch(QTcpSocket* socket);
    void onConnected();
    void onError(int qtError);
    void onPeerClosed();
    void failConnect(std::uint16_t code);
    void deliverData();
    void postData();
    bool current(std::uint64_t session) const;
    bool wantsData(std::uint64_t session) const;
    std::int64_t unread() const;
    void endSession(std::uint16_t code, Shutdown how);
    void postClosure();
    void release(Shutdown how);
    void finishLookup(std::uint64_t lookup, std::uint16_t code, const std::string& address);
    void post(std::function<void()> call);
    [[noreturn]] void fail(std::uint16_t code);

    MessagePump& pump_;
    std::unique_ptr<QObject> context_;
    QTcpSocket* socket_ = nullptr;
    Phase phase_ = Phase::Idle;
    std::uint64_t session_ = 0;
    bool peerClosed_ = false;
    bool closeAsked_ = false;
    std::uint16_t peerError_ = 0;
    std::uint16_t closeError_ = 0;
    bool dataPosted_ = false;
    bool delivering_ = false;
    std::uint64_t taken_ = 0;
    int lookupId_ = -1;
    std::uint64_t lookup_ = 0;
    std::uint16_t lastError_ = 0;
};
