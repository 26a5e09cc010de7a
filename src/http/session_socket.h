#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>

#include "http/http_socket.h"

// The part of a socket that is the same on every system: a connection's
// phases, its offers of received bytes from the loop, and the close rule of
// HttpSocket (exactly one close notification per connection, after every
// byte that came before it was offered). A system's socket adds the transport:
// it posts calls to its loop, reports what is unread, and lets a connection go.
class SessionSocket : public HttpSocket {
  public:
    void close() override;
    void closeDelayed() override;
    void abort() override;
    std::uint16_t lastError() const override { return lastError_; }
    bool connected() const override { return phase_ == Phase::Connected && !peerClosed_; }

  protected:
    // Offers of buffered bytes in one turn of the loop before the socket lets
    // other messages run; the client takes about 8 KiB per offer, so a full
    // read buffer drains in one turn without keeping timers and the window waiting.
    static constexpr int kOffersPerTurn = 8;

    // Idle: no connection. Ending: the connection is gone and its close
    // notification is on its way.
    enum class Phase { Idle, Connecting, Connected, Ending };
    enum class Shutdown { Orderly, Abortive, Destroying };

    // Runs the call later from the loop, never after the socket is gone.
    virtual void post(std::function<void()> call) = 0;
    // Bytes received and not taken yet.
    virtual std::size_t unread() const = 0;
    // Lets the transport of the connection go.
    virtual void release(Shutdown how) = 0;

    void abortAfterHandlerError() override;
    // A new connection is being made: a session of its own, nothing of the
    // last one's end carried over.
    void beginConnecting();
    // It is made; the client hears so from the loop.
    void connectionMade();
    // A connection that could not be made: its connected notification with
    // the error, then its close.
    void failConnect(std::uint16_t code);
    void onPeerClosed();
    void postData();
    void deliverData();
    void endSession(std::uint16_t code, Shutdown how);
    bool current(std::uint64_t session) const;
    // receive() counts what it hands out, so that an offer taken up is told
    // from one ignored.
    void countTaken(std::size_t bytes) { taken_ += bytes; }

    Phase phase_ = Phase::Idle;
    std::uint64_t session_ = 0;
    bool peerClosed_ = false;
    bool closeAsked_ = false;
    std::uint16_t peerError_ = 0;
    std::uint16_t closeError_ = 0;
    bool dataPosted_ = false;
    std::uint16_t lastError_ = 0;

  private:
    bool wantsData(std::uint64_t session) const;
    void postClosure();

    bool delivering_ = false;
    std::uint64_t taken_ = 0;
};
