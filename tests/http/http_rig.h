#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <stdexcept>
#include <string>
#include <vector>

#include "http/http_cli.h"
#include "support/fake_desktop.h"
#include "support/captured_stream.h"
#include "support/scripted_socket.h"

// A pump that runs timers as a real loop does, and that gives up on a Get
// which would otherwise wait for ever.
struct HttpPump : ManualPump {
    bool ending = false;
    HttpPump() { runsTimers = true; }
    bool terminating() override { return ending; }
    void waitNext(std::uint32_t maxMs) override {
        if (now > 3'600'000) throw std::runtime_error("Get still waiting after an hour");
        ManualPump::waitNext(maxMs);
    }
};

struct Outcome {
    bool raised = false;
    std::string message;
    int code = 0;
};

// One client on a scripted socket, recording its document events ('B' for
// OnDocBegin, 'E' for OnDocEnd) and states. Like the update checks, it hands
// the stream over in OnDocBegin.
struct HttpRig {
    HttpRig(Split split, std::vector<ScriptedPeer> peers) : socket(pump, split) {
        socket.peers = std::move(peers);
        cli.OnDocBegin = [this](THttpCli& c) {
            events += 'B';
            c.RcvdStream = &stream;
        };
        cli.OnDocEnd = [this](THttpCli&) { events += 'E'; };
        cli.OnStateChange = [this](THttpCli& c) {
            states.push_back(c.State());
            if (onState) onState(c.State());
        };
    }

    Outcome get(const std::string& url) {
        cli.URL = url;
        try {
            cli.Get();
            last = {};
        } catch (const EHttpException& e) {
            last = {true, e.what(), e.code()};
        }
        return last;
    }

    HttpPump pump;
    ScriptedSocket socket;
    CapturedStream stream;
    THttpCli cli{"HttpClientGetVersion", socket, pump};
    std::string events;
    std::vector<THttpState> states;
    std::function<void(THttpState)> onState;
    Outcome last;  // of the latest get()
};

inline ScriptedPeer answering(std::vector<std::string> responses, bool closesAfter = true) {
    ScriptedPeer peer;
    peer.responses = std::move(responses);
    peer.closesAfter = closesAfter;
    return peer;
}

// Answers and then keeps the connection open without a word: only the client
// can end it.
inline ScriptedPeer silentAfter(std::vector<std::string> responses) {
    return answering(std::move(responses), false);
}

inline const std::string kOk5 = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\n";

inline std::string moved(const std::string& location, const std::string& more = "\r\n") {
    return "HTTP/1.0 302 Found\r\nLocation: " + location + "\r\n" + more;
}

// A chain of relocations, each on its own connection, ending in the document.
inline std::vector<ScriptedPeer> relocationChain(int relocations, const std::string& document) {
    std::vector<ScriptedPeer> peers;
    for (int i = 1; i <= relocations; ++i) {
        peers.push_back(silentAfter({moved("/r" + std::to_string(i))}));
    }
    peers.push_back(answering({"HTTP/1.0 200 OK\r\nContent-Length: " +
                               std::to_string(document.size()) + "\r\n\r\n" + document}));
    return peers;
}

// One conversation and what it must leave behind.
struct Exchange {
    const char* name = "";
    std::string url = "http://example.com/dir/file";
    std::vector<ScriptedPeer> peers = {};
    std::function<void(HttpRig&)> setup = nullptr;
    std::string events = "";                // "*": not fixed
    std::vector<std::string> streams = {};  // what the stream may hold; none: empty
    int code = 0;                           // 0: Get returns, else it raises this code
    std::string message = "";               // the whole message, when fixed
    std::string messageHas = "";            // a part of it
    std::function<void(HttpRig&)> check = nullptr;
};

inline void runExchange(const Exchange& x, Split split) {
    SCOPED_TRACE(x.name);
    HttpRig rig(split, x.peers);
    if (x.setup) x.setup(rig);
    const Outcome out = rig.get(x.url);
    EXPECT_EQ(out.raised ? out.code : 0, x.code) << out.message;
    if (!x.message.empty()) {
        EXPECT_EQ(out.message, x.message);
    }
    if (!x.messageHas.empty()) {
        EXPECT_NE(out.message.find(x.messageHas), std::string::npos) << out.message;
    }
    if (x.events != "*") {
        EXPECT_EQ(rig.events, x.events);
    }
    const std::vector<std::string> streams =
        x.streams.empty() ? std::vector<std::string>{""} : x.streams;
    EXPECT_NE(std::find(streams.begin(), streams.end(), rig.stream.bytes), streams.end())
        << "stream holds \"" << rig.stream.bytes << "\"";
    if (x.check) x.check(rig);
}

// Every test through the socket runs once per way of cutting the peer's bytes.
class HttpSplit : public testing::TestWithParam<Split> {};

inline auto allSplits() {
    return testing::Values(Split::whole(), Split::bytewise(), Split::random(1), Split::random(2),
                           Split::random(3));
}

inline std::string splitName(const testing::TestParamInfo<Split>& info) {
    return info.param.name();
}
