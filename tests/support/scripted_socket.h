#pragma once

#include <cstdint>
#include <deque>
#include <functional>
#include <memory>
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
