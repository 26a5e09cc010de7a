#include "platform/qt_http_socket.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <thread>
#include <vector>

#include "platform/qt_message_pump.h"
#include "qt_test_app.h"

namespace {

constexpr std::size_t kClientTake = 8190;  // what the HTTP client takes per notice

sockaddr_in loopbackAddress(std::uint16_t port) {
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    address.sin_port = htons(port);
    return address;
}

// The far side of one connection on 127.0.0.1: a thread accepts it (for at
// most 5 s) and runs the script on it, then closes it.
class Peer {
  public:
    explicit Peer(std::function<void(int)> script) {
        listener_ = ::socket(AF_INET, SOCK_STREAM, 0);
        sockaddr_in address = loopbackAddress(0);
        socklen_t length = sizeof address;
        if (::bind(listener_, reinterpret_cast<sockaddr*>(&address), sizeof address) != 0 ||
            ::listen(listener_, 1) != 0 ||
            ::getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            throw std::runtime_error("no listening socket on 127.0.0.1");
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, script = std::move(script)] { serve(script); });
    }
    ~Peer() {
        finish();
        ::close(listener_);
    }
    void finish() {
        if (thread_.joinable()) thread_.join();
    }
    std::string port() const { return std::to_string(port_); }
    // The address the connection came from, once finished.
    std::string clientAddress() const { return clientAddress_; }

  private:
    void serve(const std::function<void(int)>& script) {
        pollfd waiting{listener_, POLLIN, 0};
        if (::poll(&waiting, 1, 5000) != 1) return;
        sockaddr_in from{};
        socklen_t length = sizeof from;
        const int fd = ::accept(listener_, reinterpret_cast<sockaddr*>(&from), &length);
        if (fd < 0) return;
        clientAddress_ = ::inet_ntoa(from.sin_addr);
        script(fd);
        ::close(fd);
    }

    int listener_ = -1;
    std::uint16_t port_ = 0;
    std::string clientAddress_;
    std::thread thread_;
};

// A port of 127.0.0.1 that was free a moment ago and on which nothing listens.
std::string unusedPort() {
    const int fd = ::socket(AF_INET, SOCK_STREAM, 0);
    sockaddr_in address = loopbackAddress(0);
    socklen_t length = sizeof address;
    ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
    ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
    ::close(fd);
    return std::to_string(ntohs(address.sin_port));
}

void sendAll(int fd, const std::string& bytes) {
    for (std::size_t sent = 0; sent < bytes.size();) {
        const ssize_t n = ::send(fd, bytes.data() + sent, bytes.size() - sent, MSG_NOSIGNAL);
        if (n <= 0) return;
        sent += static_cast<std::size_t>(n);
    }
}

// Keeps the connection open until the client closes it (or 5 s pass).
void waitForClientClose(int fd) {
    pollfd reading{fd, POLLIN, 0};
    char scrap[4096];
    while (::poll(&reading, 1, 5000) == 1 && ::recv(fd, scrap, sizeof scrap, 0) > 0) {
    }
}

std::string pattern(std::size_t size) {
    std::string bytes(size, '\0');
    for (std::size_t i = 0; i < size; ++i) bytes[i] = static_cast<char>((i * 131 + i / 977) & 0xFF);
    return bytes;
}

// Notices as the client hears them; data notices are counted, not listed.
struct Recorder : HttpSocketHandler {
    explicit Recorder(HttpSocket& s) : socket(s) { socket.setHandler(this); }
    ~Recorder() override { socket.setHandler(nullptr); }

    void socketDnsLookupDone(std::uint16_t error, const std::string& address) override {
        events.push_back("lookup " + std::to_string(error) + " " + address);
        if (throwOnLookup) throw std::runtime_error("handler failed");
    }
    void socketSessionConnected(std::uint16_t error) override {
        events.push_back("connected " + std::to_string(error));
    }
    void socketDataAvailable() override {
        ++dataNotices;
        if (!events.empty() && events.back().rfind("closed", 0) == 0) ++dataAfterClose;
        std::string piece(take, '\0');
        piece.resize(socket.receive(reinterpret_cast<std::uint8_t*>(piece.data()), take));
        received += piece;
        if (onData) onData();
    }
    void socketSessionClosed(std::uint16_t error) override {
        events.push_back("closed " + std::to_string(error));
    }
    bool closed() const { return !events.empty() && events.back().rfind("closed", 0) == 0; }

    HttpSocket& socket;
    std::vector<std::string> events;
    std::string received;
    std::size_t take = kClientTake;
    int dataNotices = 0;
    int dataAfterClose = 0;
    bool throwOnLookup = false;
    std::function<void()> onData;
};

class QtHttpSocketTest : public ::testing::Test {
  protected:
    static void SetUpTestSuite() { ensureQtApp(); }

    // Runs the loop until done() holds or ms pass, then a little longer, so
    // that a notice that should not come has its chance to.
    void pumpUntil(const std::function<bool()>& done, std::uint32_t ms = 5000) {
        const std::uint32_t start = pump.tick();
        while (!done() && pump.tick() - start < ms) {
            pump.waitNext(20);
            pump.processPending();
        }
        waitPumping(pump, 50);
    }

    QtMessagePump pump;
    QtHttpSocket socket{pump};
    Recorder recorder{socket};
};

TEST_F(QtHttpSocketTest, RefusedConnectionReportsConnectedThenClosedWithTheSameError) {
    const std::string port = unusedPort();
    socket.connectTo("127.0.0.1", port, "0.0.0.0");
    EXPECT_TRUE(recorder.events.empty()) << "nothing may be heard inside connectTo";
    pumpUntil([&] { return recorder.closed(); });
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"connected 10061", "closed 10061"}));
    EXPECT_FALSE(socket.connected());
    EXPECT_EQ(socket.lastError(), 10061);
    EXPECT_EQ(socket.errorText(10061), "Connection refused");
}

TEST_F(QtHttpSocketTest, EveryByteBeforeThePeersCloseArrivesBeforeTheClose) {
    const std::string payload = pattern(700 * 1024);  // many times the read buffer
    for (const std::size_t take : {kClientTake, std::size_t{1000}}) {
        SCOPED_TRACE("taking " + std::to_string(take) + " bytes per notice");
        Recorder heard(socket);
        heard.take = take;
        Peer peer([&](int fd) { sendAll(fd, payload); });
        socket.connectTo("127.0.0.1", peer.port(), "0.0.0.0");
        pumpUntil([&] { return heard.closed(); });
        EXPECT_EQ(heard.events, (std::vector<std::string>{"connected 0", "closed 0"}));
        EXPECT_TRUE(heard.received == payload) << heard.received.size() << " bytes arrived";
        EXPECT_EQ(heard.dataAfterClose, 0);
    }
}

TEST_F(QtHttpSocketTest, AReaderThatTakesNothingHoldsThePeerBackWithoutSpinning) {
    recorder.take = 0;
    std::size_t peerSent = 0;
    Peer peer([&](int fd) {
        // Sends until the connection pushes back for 300 ms: only the system's
        // buffers and the socket's own limit lie in between.
        ::fcntl(fd, F_SETFL, O_NONBLOCK);
        const std::string block(64 * 1024, 'x');
        pollfd writing{fd, POLLOUT, 0};
        while (peerSent < 256u * 1024 * 1024 && ::poll(&writing, 1, 300) == 1) {
            const ssize_t n = ::send(fd, block.data(), block.size(), MSG_NOSIGNAL);
            if (n <= 0) break;
            peerSent += static_cast<std::size_t>(n);
        }
        waitForClientClose(fd);
    });
    socket.connectTo("127.0.0.1", peer.port(), "0.0.0.0");
    waitPumping(pump, 800);
    // New bytes may be offered while the read buffer fills; a socket that
    // offered the same bytes again would count thousands here.
    EXPECT_GE(recorder.dataNotices, 1);
    EXPECT_LE(recorder.dataNotices, 20) << "offered again although nothing was taken";
    socket.close();
    pumpUntil([&] { return recorder.closed(); });
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"connected 0", "closed 0"}));
    EXPECT_LT(peerSent, 64u * 1024 * 1024) << "the socket read on without a reader";
}

TEST_F(QtHttpSocketTest, CloseDelayedEndsAfterTheNoticeWithoutFurtherOffers) {
    Peer peer([](int fd) {
        sendAll(fd, pattern(200 * 1024));
        waitForClientClose(fd);
    });
    recorder.onData = [&] { socket.closeDelayed(); };
    socket.connectTo("127.0.0.1", peer.port(), "0.0.0.0");
    pumpUntil([&] { return recorder.closed(); });
    EXPECT_EQ(recorder.dataNotices, 1);
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"connected 0", "closed 0"}));
    // A socket that is not open hears nothing of a close or an abort.
    socket.close();
    socket.abort();
    waitPumping(pump, 50);
    EXPECT_EQ(recorder.events.size(), 2u);
}

TEST_F(QtHttpSocketTest, AnErrorInTheLookupHandlerEndsInOneCloseThoughNothingWasOpen) {
    // The socket's own rule, not the loop's guard, takes the client's error.
    int reports = 0;
    pump.reportErrorsTo([&](const std::string&) { ++reports; });
    recorder.throwOnLookup = true;
    socket.resolve("127.0.0.1");
    pumpUntil([&] { return recorder.closed(); });
    EXPECT_EQ(recorder.events, (std::vector<std::string>{"lookup 0 127.0.0.1", "closed 0"}));
    EXPECT_EQ(reports, 0);
}

TEST_F(QtHttpSocketTest, NamesResolveToAnIPv4AddressAndACancelledLookupIsSilent) {
    for (const std::string host : {"127.0.0.1", "localhost"}) {
        Recorder heard(socket);
        socket.resolve(host);
        pumpUntil([&] { return !heard.events.empty(); });
        EXPECT_EQ(heard.events, (std::vector<std::string>{"lookup 0 127.0.0.1"})) << host;
    }
    socket.resolve("localhost");
    socket.cancelResolve();
    waitPumping(pump, 200);
    EXPECT_TRUE(recorder.events.empty());
}

TEST_F(QtHttpSocketTest, TheLocalAddressIsBoundOnlyWhenOneIsNamed) {
    const std::pair<std::string, std::string> cases[] = {
        {"0.0.0.0", "127.0.0.1"}, {"", "127.0.0.1"}, {"127.0.0.2", "127.0.0.2"}};
    for (const auto& [local, seen] : cases) {
        Recorder heard(socket);
        Peer peer([](int fd) { sendAll(fd, "hi"); });
        socket.connectTo("127.0.0.1", peer.port(), local);
        pumpUntil([&] { return heard.closed(); });
        peer.finish();
        EXPECT_EQ(peer.clientAddress(), seen) << "local address \"" << local << "\"";
        EXPECT_EQ(heard.received, "hi");
    }
}

}  // namespace
