#include "http_rig.h"

namespace {

using Requests = HttpSplit;
INSTANTIATE_TEST_SUITE_P(Splits, Requests, allSplits(), splitName);

const std::string kHead =
    "Accept: image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*\r\n"
    "User-Agent: Mozilla\r\n";

TEST_P(Requests, GoOutAsExactlyTheFiveLinesToTheAddressNamed) {
    struct Case {
        std::string url, host, port, request, docName;
    };
    const Case cases[] = {
        {"http://example.com/products/Telvarn/version", "example.com", "80",
         "GET /products/Telvarn/version HTTP/1.0\r\n" + kHead + "Host: example.com\r\n\r\n",
         "version"},
        {"http://example.com:8080/products/Telvarn/Telvarn.exe", "example.com", "8080",
         "GET /products/Telvarn/Telvarn.exe HTTP/1.0\r\n" + kHead +
             "Host: example.com:8080\r\n\r\n",
         "Telvarn.exe"},
        {"http://example.com:80/a?b=/c", "example.com", "80",
         "GET /a?b=/c HTTP/1.0\r\n" + kHead + "Host: example.com\r\n\r\n", "a"},
        {"http://example.com", "example.com", "80",
         "GET / HTTP/1.0\r\n" + kHead + "Host: example.com\r\n\r\n", "document.htm"},
        {"http://Example.COM/Mixed/Case", "Example.COM", "80",
         "GET /Mixed/Case HTTP/1.0\r\n" + kHead + "Host: Example.COM\r\n\r\n", "Case"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.url);
        HttpRig rig(GetParam(), {answering({"HTTP/1.0 200 OK\r\nContent-Length: 2\r\n\r\nok"})});
        EXPECT_FALSE(rig.get(c.url).raised);
        EXPECT_EQ(rig.socket.resolved, std::vector<std::string>{c.host});
        ASSERT_EQ(rig.socket.connections.size(), 1u);
        const auto& connection = rig.socket.connections[0];
        EXPECT_EQ(connection.address, "192.0.2.10");
        EXPECT_EQ(connection.port, c.port);
        EXPECT_EQ(connection.localAddress, "0.0.0.0");
        EXPECT_EQ(connection.sent, c.request);
        EXPECT_EQ(rig.cli.DocName(), c.docName);
        EXPECT_EQ(rig.stream.bytes, "ok");
    }
}

TEST_P(Requests, PassTheStatesInOrderOnANewConnection) {
    HttpRig rig(GetParam(), {answering({kOk5 + "hello"})});
    EXPECT_FALSE(rig.get("http://example.com/version").raised);
    rig.pump.processPending();  // the close after the response changes nothing more
    using enum THttpState;
    EXPECT_EQ(rig.states, (std::vector<THttpState>{
                              httpNotConnected, httpDnsLookup, httpDnsLookupDone, httpConnected,
                              httpWaitingHeader, httpWaitingBody, httpBodyReceived, httpReady}));
}

TEST_P(Requests, ASecondGetWhileOneRunsIsRefusedAsBusyAndSendsNothing) {
    struct Case {
        const char* name;
        THttpState during;  // httpReady: from OnDocBegin
    };
    const Case cases[] = {
        {"during the lookup", THttpState::httpDnsLookup},
        {"while waiting for the header", THttpState::httpWaitingHeader},
        {"inside OnDocBegin", THttpState::httpReady},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRig rig(GetParam(), {answering({kOk5 + "hello"})});
        std::vector<Outcome> nested;
        const std::string url = "http://example.com/version";
        if (c.during == THttpState::httpReady) {
            auto begin = rig.cli.OnDocBegin;
            rig.cli.OnDocBegin = [&, begin](THttpCli& cli) {
                begin(cli);
                nested.push_back(rig.get(url));
            };
        } else {
            rig.onState = [&](THttpState state) {
                if (state == c.during) nested.push_back(rig.get(url));
            };
        }
        EXPECT_FALSE(rig.get(url).raised);
        ASSERT_EQ(nested.size(), 1u);
        EXPECT_TRUE(nested[0].raised);
        EXPECT_EQ(nested[0].message, "HTTP component HttpClientGetVersion is busy");
        EXPECT_EQ(nested[0].code, 1);
        EXPECT_EQ(rig.socket.resolved.size(), 1u);
        ASSERT_EQ(rig.socket.connections.size(), 1u);
        EXPECT_EQ(rig.socket.requests(0).size(), 1u);
        EXPECT_EQ(rig.stream.bytes, "hello");
        EXPECT_EQ(rig.events, "BE");
    }
}

TEST_P(Requests, ASecondGetOnTheSameClientFetchesItsOwnDocument) {
    const std::string again = "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n\r\nagain";
    ScriptedPeer unresolvable;
    unresolvable.lookup = ScriptedPeer::Lookup::Fail;
    std::vector<ScriptedPeer> twoChains = relocationChain(15, "first");
    for (ScriptedPeer& peer : relocationChain(15, "again")) twoChains.push_back(peer);
    struct Case {
        const char* name;
        std::vector<ScriptedPeer> peers;  // of both requests
        std::size_t connections;
    };
    const Case cases[] = {
        {"after a peer that closed", {answering({kOk5 + "hello"}), answering({again})}, 2},
        {"after a peer that stayed silent", {silentAfter({kOk5 + "hello"}), answering({again})}, 2},
        {"after a time-out", {silentAfter({}), answering({again})}, 2},
        {"after a failed lookup", {unresolvable, answering({again})}, 1},
        {"after a 404",
         {answering({"HTTP/1.0 404 Not Found\r\nContent-Length: 0\r\n\r\n"}), answering({again})},
         2},
        {"after fifteen relocations, fifteen more", twoChains, 32},
        {"over the connection the server kept open",
         {silentAfter(
             {"HTTP/1.0 200 OK\r\nConnection: keep-alive\r\nContent-Length: 5\r\n\r\nhello",
              again})},
         1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        HttpRig rig(GetParam(), c.peers);
        rig.get("http://example.com/version");
        rig.stream.bytes.clear();
        const Outcome second = rig.get("http://example.com/version");
        EXPECT_FALSE(second.raised) << second.message;
        EXPECT_EQ(rig.stream.bytes, "again");
        EXPECT_EQ(rig.socket.connections.size(), c.connections);
    }
}

}  // namespace
