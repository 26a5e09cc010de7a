#pragma once

#include <cstddef>
#include <cstdint>
#include <stdexcept>
#include <string>
#include <string_view>

// An operation of the socket that could not start; code is the socket's error code.
class SocketError : public std::runtime_error {
  public:
    SocketError(const std::string& text, std::uint16_t code)
        : std::runtime_error(text), code_(code) {}
    std::uint16_t code() const { return code_; }

  private:
    std::uint16_t code_;
};

// What the HTTP client hears from its socket. Every notification comes from the
// message loop, never from inside one of the socket's own operations.
class HttpSocketHandler {
  public:
    virtual ~HttpSocketHandler() = default;
    // error 0: address holds the host's address as text.
    virtual void socketDnsLookupDone(std::uint16_t error, const std::string& address) = 0;
    virtual void socketSessionConnected(std::uint16_t error) = 0;
    // Bytes are waiting; the handler takes what it wants with receive(). While
    // bytes remain unread the socket notifies again.
    virtual void socketDataAvailable() = 0;
    virtual void socketSessionClosed(std::uint16_t error) = 0;
};

// A non-blocking TCP socket with asynchronous name resolution, as the HTTP
// client needs it.
//
// The close rule: once a connection has been started (connectTo), exactly one
// socketSessionClosed follows, whatever ends it: close(), closeDelayed(),
// abort(), the peer, or a failed connection (after socketSessionConnected with
// the error). All received bytes are offered before it. close() and abort()
// on a socket that is not open do nothing and notify nothing.
//
// An error that the handler raises inside a notification does not pass the
// socket: the socket aborts the connection and then notifies
// socketSessionClosed(0), also when no connection was open (so that the
// client always hears an end).
class HttpSocket {
  public:
    virtual ~HttpSocket() = default;

    void setHandler(HttpSocketHandler* handler) { handler_ = handler; }

    // Starts resolving host; socketDnsLookupDone follows. Throws SocketError
    // when the resolution cannot start.
    virtual void resolve(const std::string& host) = 0;
    // Forgets a running resolution: its socketDnsLookupDone never comes.
    virtual void cancelResolve() = 0;
    // Starts a TCP connection to address:port from localAddress ("0.0.0.0":
    // any); socketSessionConnected follows. Throws SocketError when it cannot start.
    virtual void connectTo(const std::string& address, const std::string& port,
                           const std::string& localAddress) = 0;
    // Queues the bytes; they all go out, in order. Throws SocketError when not connected.
    virtual void send(std::string_view bytes) = 0;
    // Takes up to max received bytes; returns how many (0 when none wait).
    virtual std::size_t receive(std::uint8_t* into, std::size_t max) = 0;
    // Orderly close now.
    virtual void close() = 0;
    // The same, once the notification being handled has returned.
    virtual void closeDelayed() = 0;
    // Drops the connection without an orderly shutdown.
    virtual void abort() = 0;
    virtual bool connected() const = 0;
    virtual std::uint16_t lastError() const = 0;
    virtual std::string errorText(std::uint16_t code) const = 0;

  protected:
    // Implementations deliver every notification through these.
    void notifyDnsLookupDone(std::uint16_t error, const std::string& address);
    void notifySessionConnected(std::uint16_t error);
    void notifyDataAvailable();
    void notifySessionClosed(std::uint16_t error);

    // Called when the handler raised an error: abort the connection and then
    // (from the loop) notifySessionClosed(0), exactly once.
    virtual void abortAfterHandlerError() = 0;

  private:
    template <typename Call>
    void guarded(Call call);

    HttpSocketHandler* handler_ = nullptr;
};
