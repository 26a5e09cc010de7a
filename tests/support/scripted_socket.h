#pragma once

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <ostream>
#include <random>
#include <string>
#include <vector>

#include "base/message_pump.h"
#include "http/http_socket.h"

// How a peer's bytes are cut into arrivals.
struct Split {
    enum class Kind { Whole, Bytewise, Random };
    Kind kind = Kind::Whole;
    unsigned seed = 0;

    static Split whole() { return {Kind::Whole, 0}; }
    static Split bytewise() { return {Kind::Bytewise, 0}; }
    static Split random(unsigned seed) { return {Kind::Random, seed}; }
    std::string name() const;
};

// Cuts bytes into arrivals; random cuts come from rng, so a run repeats.
std::vector<std::string> splitBytes(const std::string& bytes, Split split, std::mt19937& rng);

inline void PrintTo(const Split& split, std::ostream* os) {
    *os << split.name();
}

// What the far side does for one name resolution and the connection after it.
struct ScriptedPeer {
    enum class Lookup { Answer, Fail, Throw, Never };
    Lookup lookup = Lookup::Answer;
    std::string address = "192.0.2.10";
    // Code of a failed or unstartable lookup or connection.
    std::uint16_t lookupError = 11001;
    std::uint16_t connectError = 0;  // not 0: the connection fails with it
    bool connectThrows = false;
    // One response per request (a header ended by an empty line) sent on the
    // connection; a request beyond them gets no answer.
    std::vector<std::string> responses;
    // After the last response the peer closes; otherwise it stays silent and
    // keeps the connection open.
    bool closesAfter = true;
    // Pump time before each arrival, so that a slow peer can be modelled.
    std::uint32_t arrivalDelayMs = 0;
};

// A socket whose far side is scripted, one ScriptedPeer per name resolution.
// It keeps the socket's contract: notifications are posted to the pump, never
// delivered inside an operation; a response starts arriving only once its
// request has been sent; received bytes wait until taken and are offered again
// while the client takes some; every started connection ends in exactly one
// close notification, after all bytes were offered.
class ScriptedSocket : public HttpSocket {
  public:
    ScriptedSocket(MessagePump& pump, Split split);
    ~ScriptedSocket() override;

    std::vector<ScriptedPeer> peers;

    struct Connection {
        std::string address;
        std::string port;
        std::string localAddress;
        std::string sent;  // every byte sent on it, in order
        bool open = true;
        bool established = false;
        int closeNotices = 0;
        // Internal progress of the script.
        std::size_t peer = 0;
        std::size_t requests = 0;
        std::size_t scanned = 0;
        std::deque<std::string> arrivals;
        std::string waiting;
        bool arriving = false;
    };
    std::vector<std::string> resolved;    // hosts, in order
    std::vector<Connection> connections;  // in order of connectTo
    std::vector<std::string> calls;       // close, closeDelayed, abort, cancelResolve, handlerError

    // The requests sent on a connection, each with its empty line.
    std::vector<std::string> requests(std::size_t connection) const;

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
    std::uint16_t lastError() const override { return lastError_; }
    std::string errorText(std::uint16_t code) const override;

  protected:
    void abortAfterHandlerError() override;

  private:
    Connection* current();
    void post(std::function<void()> call);
    void startResponses(std::size_t c);
    void scheduleArrival(std::size_t c);
    void arrive(std::size_t c, bool withPiece);
    void end(std::size_t c, std::uint16_t error);
    bool dropCurrent();

    MessagePump& pump_;
    Split split_;
    std::mt19937 rng_;
    std::unique_ptr<Timer> delay_;
    std::function<void()> delayed_;
    std::size_t lookups_ = 0;
    std::uint64_t lookupSerial_ = 0;
    std::uint16_t lastError_ = 0;
    // Posted calls check it so that none runs after the socket is gone.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
};

// The socket's members are defined here, in the including test, so that its
// calls into the HTTP library link whatever order the libraries come in.

inline ScriptedSocket::ScriptedSocket(MessagePump& pump, Split split)
    : pump_(pump), split_(split), rng_(split.seed) {
    delay_ = pump_.createTimer([this] {
        delay_->setEnabled(false);
        if (auto call = std::move(delayed_)) call();
    });
}

inline ScriptedSocket::~ScriptedSocket() {
    *alive_ = false;
}

inline std::vector<std::string> ScriptedSocket::requests(std::size_t connection) const {
    std::vector<std::string> out;
    const std::string& sent = connections.at(connection).sent;
    for (std::size_t at = 0; at < sent.size();) {
        const std::size_t end = sent.find("\r\n\r\n", at);
        const std::size_t next = end == std::string::npos ? sent.size() : end + 4;
        out.push_back(sent.substr(at, next - at));
        at = next;
    }
    return out;
}

inline ScriptedSocket::Connection* ScriptedSocket::current() {
    return connections.empty() ? nullptr : &connections.back();
}

inline void ScriptedSocket::post(std::function<void()> call) {
    pump_.post([alive = alive_, call = std::move(call)] {
        if (*alive) call();
    });
}

inline void ScriptedSocket::resolve(const std::string& host) {
    resolved.push_back(host);
    const std::size_t index = lookups_++;
    if (index >= peers.size()) {
        ADD_FAILURE() << "lookup of " << host << " beyond the " << peers.size()
                      << " scripted peers";
        throw SocketError("unscripted lookup", 1);
    }
    const ScriptedPeer& peer = peers[index];
    if (peer.lookup == ScriptedPeer::Lookup::Throw) {
        lastError_ = peer.lookupError;
        throw SocketError(errorText(peer.lookupError), peer.lookupError);
    }
    if (peer.lookup == ScriptedPeer::Lookup::Never) return;
    const std::uint16_t error =
        peer.lookup == ScriptedPeer::Lookup::Fail ? peer.lookupError : std::uint16_t{0};
    const std::string address = error == 0 ? peer.address : "";
    post([this, serial = ++lookupSerial_, error, address] {
        if (serial != lookupSerial_) return;  // cancelled
        if (error != 0) lastError_ = error;
        notifyDnsLookupDone(error, address);
    });
}

inline void ScriptedSocket::cancelResolve() {
    calls.push_back("cancelResolve");
    ++lookupSerial_;
}

inline void ScriptedSocket::connectTo(const std::string& address, const std::string& port,
                                      const std::string& localAddress) {
    if (lookups_ == 0) ADD_FAILURE() << "connectTo without a lookup";
    const Connection* last = current();
    if (last != nullptr && last->open) ADD_FAILURE() << "connectTo while a connection is open";
    const std::size_t peerIndex = lookups_ == 0 ? 0 : lookups_ - 1;
    const ScriptedPeer& peer = peers.at(peerIndex);
    if (peer.connectThrows) {
        lastError_ = peer.connectError;
        throw SocketError(errorText(peer.connectError), peer.connectError);
    }
    Connection connection;
    connection.address = address;
    connection.port = port;
    connection.localAddress = localAddress;
    connection.peer = peerIndex;
    connections.push_back(connection);
    const std::size_t c = connections.size() - 1;
    post([this, c, error = peer.connectError] {
        if (!connections[c].open) return;
        if (error != 0) {
            lastError_ = error;
            notifySessionConnected(error);
            post([this, c, error] {
                if (connections[c].open) end(c, error);
            });
            return;
        }
        connections[c].established = true;
        notifySessionConnected(0);
    });
}

inline void ScriptedSocket::send(std::string_view bytes) {
    Connection* k = current();
    if (k == nullptr || !k->open || !k->established) {
        lastError_ = 10057;
        throw SocketError(errorText(lastError_), lastError_);
    }
    k->sent.append(bytes);
    for (std::size_t end; (end = k->sent.find("\r\n\r\n", k->scanned)) != std::string::npos;) {
        k->scanned = end + 4;
        ++k->requests;
        startResponses(connections.size() - 1);
    }
}

inline void ScriptedSocket::startResponses(std::size_t c) {
    Connection& k = connections[c];
    const ScriptedPeer& peer = peers[k.peer];
    if (k.requests > peer.responses.size()) return;
    for (std::string& piece : splitBytes(peer.responses[k.requests - 1], split_, rng_)) {
        k.arrivals.push_back(std::move(piece));
    }
    if (!k.arriving) scheduleArrival(c);
}

inline void ScriptedSocket::scheduleArrival(std::size_t c) {
    connections[c].arriving = true;
    const std::uint32_t delay = peers[connections[c].peer].arrivalDelayMs;
    if (delay == 0) {
        post([this, c] { arrive(c, true); });
        return;
    }
    delayed_ = [this, c] { arrive(c, true); };
    delay_->setInterval(delay);
    delay_->setEnabled(true);
}

// One step of the far side: the next piece arrives (withPiece), or bytes the
// client left are offered again. Once nothing more is due, the peer closes if
// its script says so.
inline void ScriptedSocket::arrive(std::size_t c, bool withPiece) {
    if (!connections[c].open) return;
    if (withPiece) {
        Connection& k = connections[c];
        k.arriving = false;
        if (!k.arrivals.empty()) {
            k.waiting += k.arrivals.front();
            k.arrivals.pop_front();
        }
    }
    bool took = false;
    if (!connections[c].waiting.empty()) {
        const std::size_t before = connections[c].waiting.size();
        notifyDataAvailable();
        if (!connections[c].open) return;
        took = connections[c].waiting.size() < before;
    }
    Connection& k = connections[c];
    if (withPiece && !k.arrivals.empty()) scheduleArrival(c);
    if (took && !k.waiting.empty()) {
        post([this, c] { arrive(c, false); });
        return;
    }
    const ScriptedPeer& peer = peers[k.peer];
    if (k.arriving || !k.arrivals.empty() || k.requests < peer.responses.size() ||
        !peer.closesAfter) {
        return;
    }
    post([this, c] {
        if (connections[c].open) end(c, 0);
    });
}

inline void ScriptedSocket::end(std::size_t c, std::uint16_t error) {
    Connection& k = connections[c];
    k.open = false;
    k.established = false;
    k.waiting.clear();
    k.arrivals.clear();
    ++k.closeNotices;
    notifySessionClosed(error);
}

inline std::size_t ScriptedSocket::receive(std::uint8_t* into, std::size_t max) {
    Connection* k = current();
    if (k == nullptr || !k->open) return 0;
    const std::size_t n = std::min(max, k->waiting.size());
    std::memcpy(into, k->waiting.data(), n);
    k->waiting.erase(0, n);
    return n;
}

inline bool ScriptedSocket::dropCurrent() {
    Connection* k = current();
    if (k == nullptr || !k->open) return false;
    k->open = false;
    k->established = false;
    k->waiting.clear();
    k->arrivals.clear();
    post([this, c = connections.size() - 1] {
        ++connections[c].closeNotices;
        notifySessionClosed(0);
    });
    return true;
}

inline void ScriptedSocket::close() {
    calls.push_back("close");
    dropCurrent();
}

inline void ScriptedSocket::closeDelayed() {
    calls.push_back("closeDelayed");
    if (connections.empty()) return;
    post([this, c = connections.size() - 1] {
        if (connections[c].open) end(c, 0);
    });
}

inline void ScriptedSocket::abort() {
    calls.push_back("abort");
    dropCurrent();
}

inline bool ScriptedSocket::connected() const {
    return !connections.empty() && connections.back().open && connections.back().established;
}

inline std::string ScriptedSocket::errorText(std::uint16_t code) const {
    return "scripted error " + std::to_string(code);
}

inline void ScriptedSocket::abortAfterHandlerError() {
    calls.push_back("handlerError");
    // With no connection to drop the client still hears an end.
    if (!dropCurrent()) post([this] { notifySessionClosed(0); });
}
