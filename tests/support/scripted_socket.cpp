#include "support/scripted_socket.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>

std::string Split::name() const {
    switch (kind) {
        case Kind::Whole:
            return "Whole";
        case Kind::Bytewise:
            return "Bytewise";
        case Kind::Random:
            break;
    }
    return "Random" + std::to_string(seed);
}

std::vector<std::string> splitBytes(const std::string& bytes, Split split, std::mt19937& rng) {
    std::vector<std::string> pieces;
    if (bytes.empty()) return pieces;
    if (split.kind == Split::Kind::Whole) return {bytes};
    // Pieces up to a quarter of the whole, so that long responses also meet
    // the receive buffer's edge at varying places.
    const std::size_t most =
        split.kind == Split::Kind::Bytewise ? 1 : std::max<std::size_t>(2, bytes.size() / 4);
    std::uniform_int_distribution<std::size_t> length(1, most);
    for (std::size_t at = 0; at < bytes.size();) {
        const std::size_t n = std::min(length(rng), bytes.size() - at);
        pieces.push_back(bytes.substr(at, n));
        at += n;
    }
    return pieces;
}

ScriptedSocket::ScriptedSocket(MessagePump& pump, Split split)
    : pump_(pump), split_(split), rng_(split.seed) {
    delay_ = pump_.createTimer([this] {
        delay_->setEnabled(false);
        if (auto call = std::move(delayed_)) call();
    });
}

ScriptedSocket::~ScriptedSocket() {
    *alive_ = false;
}

std::vector<std::string> ScriptedSocket::requests(std::size_t connection) const {
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

ScriptedSocket::Connection* ScriptedSocket::current() {
    return connections.empty() ? nullptr : &connections.back();
}

void ScriptedSocket::post(std::function<void()> call) {
    pump_.post([alive = alive_, call = std::move(call)] {
        if (*alive) call();
    });
}

void ScriptedSocket::resolve(const std::string& host) {
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

void ScriptedSocket::cancelResolve() {
    calls.push_back("cancelResolve");
    ++lookupSerial_;
}

void ScriptedSocket::connectTo(const std::string& address, const std::string& port,
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

void ScriptedSocket::send(std::string_view bytes) {
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

void ScriptedSocket::startResponses(std::size_t c) {
    Connection& k = connections[c];
    const ScriptedPeer& peer = peers[k.peer];
    if (k.requests > peer.responses.size()) return;
    for (std::string& piece : splitBytes(peer.responses[k.requests - 1], split_, rng_)) {
        k.arrivals.push_back(std::move(piece));
    }
    if (!k.arriving) scheduleArrival(c);
}

void ScriptedSocket::scheduleArrival(std::size_t c) {
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
void ScriptedSocket::arrive(std::size_t c, bool withPiece) {
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

void ScriptedSocket::end(std::size_t c, std::uint16_t error) {
    Connection& k = connections[c];
    k.open = false;
    k.established = false;
    k.waiting.clear();
    k.arrivals.clear();
    ++k.closeNotices;
    notifySessionClosed(error);
}

std::size_t ScriptedSocket::receive(std::uint8_t* into, std::size_t max) {
    Connection* k = current();
    if (k == nullptr || !k->open) return 0;
    const std::size_t n = std::min(max, k->waiting.size());
    std::memcpy(into, k->waiting.data(), n);
    k->waiting.erase(0, n);
    return n;
}

bool ScriptedSocket::dropCurrent() {
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

void ScriptedSocket::close() {
    calls.push_back("close");
    dropCurrent();
}

void ScriptedSocket::closeDelayed() {
    calls.push_back("closeDelayed");
    if (connections.empty()) return;
    post([this, c = connections.size() - 1] {
        if (connections[c].open) end(c, 0);
    });
}

void ScriptedSocket::abort() {
    calls.push_back("abort");
    dropCurrent();
}

bool ScriptedSocket::connected() const {
    return !connections.empty() && connections.back().open && connections.back().established;
}

std::string ScriptedSocket::errorText(std::uint16_t code) const {
    return "scripted error " + std::to_string(code);
}

void ScriptedSocket::abortAfterHandlerError() {
    calls.push_back("handlerError");
    // With no connection to drop the client still hears an end.
    if (!dropCurrent()) post([this] { notifySessionClosed(0); });
}
