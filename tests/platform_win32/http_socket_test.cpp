// The close rule of the Winsock socket (http/http_socket.h) in the cases that a
// whole request against a live server (live_server_test.cpp) cannot show.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <condition_variable>
#include <functional>
#include <memory>
#include <mutex>
#include <optional>
#include <stdexcept>
#include <thread>

#include "platform_win32/win32_http_socket.h"
#include "platform_win32/win32_message_pump.h"
#include "wine_helper.h"

namespace {

using Events = std::vector<std::string>;

// Bytes no compression or text shortcut gets right by accident.
std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>(i * 131 + i / 977);
    return bytes;
}

// Notices as the client hears them, each run of data notices as one "data".
// A hook that throws is a handler's error.
struct Recorder : HttpSocketHandler {
    explicit Recorder(HttpSocket& s) : socket(s) { socket.setHandler(this); }
    ~Recorder() override { socket.setHandler(nullptr); }

    void socketDnsLookupDone(std::uint16_t error, const std::string& address) override {
        events.push_back("lookup " + std::to_string(error) + " " + address);
        if (onLookup) onLookup();
    }
    void socketSessionConnected(std::uint16_t error) override {
        events.push_back("connected " + std::to_string(error));
        if (onConnected) onConnected();
    }
    void socketDataAvailable() override {
        ++dataNotices;
        if (events.back() != "data") events.push_back("data");
        std::vector<std::uint8_t> piece(take);
        socket.receive(piece.data(), take);
        if (onData) onData();
    }
    void socketSessionClosed(std::uint16_t error) override {
        events.push_back("closed " + std::to_string(error));
    }

    HttpSocket& socket;
    Events events;
    std::size_t take = 8190;  // what the HTTP client takes per notice
    int dataNotices = 0;
    std::function<void()> onLookup, onConnected, onData;
};

// The far side of one connection: a thread accepts it (within 5 s), sends
// `first`, and, once released, reads until the socket ends the connection
// (within 5 s). Until then the socket's own queue fills with what it sends.
struct Peer {
    explicit Peer(std::string first) : listener(listenOnLoopback(port)) {
        thread = std::thread([=, this] {
            const SOCKET fd =
                readable(listener, 5000) ? accept(listener, nullptr, nullptr) : INVALID_SOCKET;
            sendAll(fd, first);
            sent = true;
            {
                std::unique_lock lock(mutex);
                released.wait_for(lock, std::chrono::seconds(5), [&] { return mayRead; });
            }
            char piece[16384];
            while (!ended && readable(fd, 5000)) {
                const int n = recv(fd, piece, sizeof piece, 0);
                drained.append(piece, static_cast<std::size_t>(std::max(n, 0)));
                ended = n <= 0;
            }
            closesocket(fd);
            done = true;
        });
    }
    ~Peer() {
        release();
        thread.join();
        closesocket(listener);
    }
    // Lets the peer read from now on.
    void release() {
        {
            const std::lock_guard lock(mutex);
            mayRead = true;
        }
        released.notify_all();
    }

    std::uint16_t port = 0;
    SOCKET listener;
    std::string drained;  // what arrived, and whether the socket ended the connection
    bool ended = false;
    std::atomic<bool> sent{false}, done{false};
    std::mutex mutex;
    std::condition_variable released;
    bool mayRead = false;
    std::thread thread;
};

// Releases the peer, if there is one, when it goes: after the socket has done
// what a case asks of it, an error of the case's own included.
struct ReleaseWhenDone {
    std::optional<Peer>& peer;
    ~ReleaseWhenDone() {
        if (peer) peer->release();
    }
};

class Win32HttpSocketTest : public ::testing::Test {
  protected:
    // Runs the loop until the close is heard (or 5 s pass) and the peer is done;
    // then a few turns more after a close() and an abort() on the socket that is
    // no longer open, so that a notice that should not come has its chance to.
    void pumpToTheEnd(const Recorder& heard, const std::optional<Peer>& peer) {
        const auto closed = [&] {
            return !heard.events.empty() && heard.events.back().starts_with("closed");
        };
        for (const std::uint32_t start = pump.tick(); !closed() && pump.tick() - start < 5000;)
            waitPumping(pump, 20);
        while (peer && !peer->done) waitPumping(pump, 20);  // a close may still be sending
        if (closed()) socket.close(), socket.abort();
        turnTheLoop(kTurns);
    }

    // Runs the loop through `turns` whole turns: each ends when a call posted
    // at its start has run, after everything that was waiting before it. A
    // notice the socket posts for itself over and over comes once a turn.
    void turnTheLoop(int turns) {
        for (int turn = 0; turn < turns; ++turn) {
            const auto ran = std::make_shared<bool>(false);
            pump.post([ran] { *ran = true; });
            for (const std::uint32_t start = pump.tick(); !*ran && pump.tick() - start < 5000;)
                waitPumping(pump, 10);
            ASSERT_TRUE(*ran) << "the loop never came round to a posted call";
        }
    }

    static constexpr int kTurns = 20;
    Win32MessagePump pump;
    Win32HttpSocket socket{pump};
};

// Unread bytes are offered again only once more come: a reader that takes
// nothing (the client while one of its handlers runs the loop) costs no turns.
TEST_F(Win32HttpSocketTest, AReaderThatTakesNothingIsNotOfferedTheSameBytesOverAndOver) {
    Recorder heard(socket);
    heard.take = 0;
    std::optional<Peer> peer(std::in_place, pattern(32 * 1024));
    socket.connectTo("127.0.0.1", std::to_string(peer->port), "0.0.0.0");
    // All of it sent, on the loopback all of it arrived; and offered once.
    const auto offered = [&] { return peer->sent && heard.dataNotices >= 1; };
    for (const std::uint32_t start = pump.tick(); !offered() && pump.tick() - start < 5000;)
        waitPumping(pump, 10);
    ASSERT_TRUE(offered()) << "the bytes were never offered";
    // Offers that came back at every turn would pass the bound below many times over.
    turnTheLoop(kTurns);
    EXPECT_LE(heard.dataNotices, 4);
    socket.close();
    peer->release();
    pumpToTheEnd(heard, peer);
    EXPECT_EQ(heard.events, (Events{"connected 0", "data", "closed 0"}));
    EXPECT_TRUE(peer->ended);
}

// What was sent goes out whole before an orderly close, however far the peer
// lags behind; an abort drops what is still queued; a handler's error aborts.
// Each ends in one close, and the loop's error report hears nothing. (Wine's
// recv reports an abort's reset as an orderly end, so the peer tells them
// apart only by what arrived.)
TEST_F(Win32HttpSocketTest, EachWayOfEndingAConnectionEndsItWithOneClose) {
    const std::string big = pattern(16 * 1024 * 1024), none;  // more than the system buffers
    const auto fail = [] { throw std::runtime_error("handler failed"); };
    int reports = 0;
    pump.reportErrorsTo([&](const std::string&) { ++reports; });
    const auto connected = &Recorder::onConnected, data = &Recorder::onData;
    const Events withData{"connected 0", "data", "closed 0"}, without{"connected 0", "closed 0"},
        refused{"connected 10061", "closed 10061"}, lookedUp{"lookup 0 127.0.0.1", "closed 0"};
    const struct {
        const char* why;
        std::optional<std::size_t> peerSends;  // none: nothing listens
        std::function<void()> Recorder::*hook;
        std::function<void()> then;
        const std::string& sent;
        bool whole;  // the peer got all that was sent
        Events events;
    } cases[] = {
        {"close", 0, connected, [&] { socket.send(big), socket.close(); }, big, true, without},
        {"closeDelayed", 0, connected, [&] { socket.send(big), socket.closeDelayed(); }, big, true,
         without},
        {"abort", 0, connected, [&] { socket.send(big), socket.abort(); }, big, false, without},
        // dataNotices shows that no further offer came before the close.
        {"closeDelayed in a data notice", 200 * 1024, data, [&] { socket.closeDelayed(); }, none,
         true, withData},
        {"an error in the connected notice", 200 * 1024, connected, fail, none, true, without},
        {"an error in a data notice", 200 * 1024, data, fail, none, true, withData},
        {"a refused connection", std::nullopt, connected, [] {}, none, true, refused},
        // Nothing was open: still one close.
        {"an error in the lookup notice", 0, &Recorder::onLookup, fail, none, true, lookedUp},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.why);
        Recorder heard(socket);
        std::optional<Peer> peer;
        // The peer reads once the case has sent and ended what it sends.
        heard.*c.hook = [&] {
            const ReleaseWhenDone release{peer};
            c.then();
        };
        if (c.hook == &Recorder::onLookup) {
            socket.resolve("127.0.0.1");
        } else {
            if (c.peerSends) peer.emplace(pattern(*c.peerSends));
            const std::uint16_t port = peer ? peer->port : unusedLoopbackPort();
            socket.connectTo("127.0.0.1", std::to_string(port), "0.0.0.0");
            EXPECT_EQ(heard.events.size(), 0u) << "nothing may be heard inside connectTo";
        }
        pumpToTheEnd(heard, peer);
        EXPECT_EQ(heard.events, c.events);
        EXPECT_LE(heard.dataNotices, 1);
        if (!peer) continue;
        EXPECT_TRUE(peer->ended) << "the connection was left open";
        EXPECT_EQ(c.whole, peer->drained == c.sent) << peer->drained.size() << " bytes arrived";
    }
    EXPECT_EQ(reports, 0);
}

}  // namespace
