#include <algorithm>

#include "http_rig.h"

namespace {

using Failures = HttpSplit;
INSTANTIATE_TEST_SUITE_P(Splits, Failures, allSplits(), splitName);

ScriptedPeer lookup(ScriptedPeer::Lookup how, std::uint16_t error = 11001) {
    ScriptedPeer peer;
    peer.lookup = how;
    peer.lookupError = error;
    return peer;
}

ScriptedPeer connecting(std::uint16_t error, bool throws) {
    ScriptedPeer peer;
    peer.connectError = error;
    peer.connectThrows = throws;
    return peer;
}

void noConnection(HttpRig& rig) {
    EXPECT_TRUE(rig.socket.connections.empty());
}

void dropped(HttpRig& rig) {
    ASSERT_EQ(rig.socket.connections.size(), 1u);
    EXPECT_FALSE(rig.socket.connections[0].open);
}

const char* const kHeaderCut = "connection closed before the end of the header";

// A box kept open in a handler for over a minute: the loop runs meanwhile.
void boxOpenForAMinute(HttpRig& rig) {
    rig.cli.OnDocEnd = [&rig](THttpCli&) {
        rig.events += 'E';
        for (int s = 0; s < 61; ++s) {
            rig.pump.waitNext(1000);
            rig.pump.processPending();
        }
    };
}

const Exchange kFailures[] = {
    {.name = "https is refused after the lookup, without connecting",
     .url = "https://example.com/version",
     .peers = {answering({})},
     .code = 501,
     .message = "Protocol \"https\" not implemented",
     .check =
         [](HttpRig& rig) {
             EXPECT_EQ(rig.socket.resolved, std::vector<std::string>{"example.com"});
             noConnection(rig);
         }},
    {.name = "a host that cannot be resolved",
     .peers = {lookup(ScriptedPeer::Lookup::Fail)},
     .code = 404,
     .message = "can't resolve hostname to IP address",
     .check = noConnection},
    {.name = "a lookup that cannot start",
     .peers = {lookup(ScriptedPeer::Lookup::Throw, 11002)},
     .code = 404,
     .message = "scripted error 11002",
     .check = noConnection},
    {.name = "a connection that cannot start",
     .peers = {connecting(10049, true)},
     .code = 404,
     .message = "can't connect: scripted error 10049 (Error #10049)"},
    {.name = "a refused connection",
     .peers = {connecting(10061, false)},
     .code = 404,
     .message = "scripted error 10061 (Error #10061)"},
    {.name = "closed before any status line",
     .peers = {answering({""})},
     .code = 404,
     .messageHas = "before any status line"},
    {.name = "closed while the body arrives: the document ends with what came, and fails",
     .peers = {answering({"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhello"})},
     .events = "BE",
     .streams = {"hello"},
     .code = 404,
     .messageHas = "5 of the 10 bytes"},
    {.name = "a chunked body closed before its last chunk",
     .peers = {answering({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n5\r\nhello\r\n"})},
     .events = "BE",
     .streams = {"hello"},
     .code = 404,
     .messageHas = "last chunk"},
    {.name = "closed after the header, before the body",
     .peers = {answering({kOk5})},
     .code = 404,
     .messageHas = "0 of the 5 bytes"},
    {.name = "a handler's box open over a minute is no silent network",
     .peers = {silentAfter({kOk5 + "hello"})},
     .setup = boxOpenForAMinute,
     .events = "BE",
     .streams = {"hello"}},
    {.name = "closed right after the status line",
     .peers = {answering({"HTTP/1.0 200 OK\r\n"})},
     .code = 404,
     .messageHas = kHeaderCut},
    {.name = "closed after some header lines",
     .peers = {answering({"HTTP/1.0 200 OK\r\nContent-Type: text/plain\r\nContent-Length: 5\r\n"})},
     .code = 404,
     .messageHas = kHeaderCut},
    {.name = "a status code that is not a number drops the connection",
     .peers = {silentAfter({"HTTP/1.0 2x0 OK\r\nContent-Length: 5\r\n\r\nhello"})},
     .code = 404,
     .messageHas = "not a number",
     .check = dropped},
    {.name = "a peer silent after the request",
     .peers = {silentAfter({})},
     .code = 404,
     .messageHas = "timed out"},
    {.name = "a lookup that never answers",
     .peers = {lookup(ScriptedPeer::Lookup::Never)},
     .code = 404,
     .messageHas = "timed out",
     .check = noConnection},
    {.name = "a body that stalls",
     .peers = {silentAfter({"HTTP/1.0 200 OK\r\nContent-Length: 10\r\n\r\nhel"})},
     .events = "*",
     .streams = {"hel"},
     .code = 404,
     .messageHas = "timed out"},
    {.name = "a slow peer that never pauses for the whole time-out",
     .peers = {[] {
         ScriptedPeer peer = answering({"HTTP/1.0 200 OK\r\n\r\nslow"});
         peer.arrivalDelayMs = 50'000;
         return peer;
     }()},
     .events = "BE",
     .streams = {"slow"}},
    {.name = "the application terminating during the wait",
     .peers = {silentAfter({})},
     .setup =
         [](HttpRig& rig) {
             rig.onState = [&rig](THttpState state) {
                 if (state == THttpState::httpWaitingHeader) rig.pump.ending = true;
             };
         },
     .code = 404,
     .message = "Connection aborted on request",
     .check = dropped},
    {.name = "the application terminating during the lookup",
     .peers = {lookup(ScriptedPeer::Lookup::Never)},
     .setup =
         [](HttpRig& rig) {
             rig.onState = [&rig](THttpState state) {
                 if (state == THttpState::httpDnsLookup) rig.pump.ending = true;
             };
         },
     .code = 404,
     .message = "Connection aborted on request",
     .check =
         [](HttpRig& rig) {
             noConnection(rig);
             const auto& calls = rig.socket.calls;
             EXPECT_NE(std::find(calls.begin(), calls.end(), "cancelResolve"), calls.end());
         }},
    {.name = "an address holding a control character: nothing is looked up or sent",
     .url = "http://example.com/s/ok\rX-Injected: 1",
     .peers = {answering({kOk5 + "hello"})},
     .code = 404,
     .message = "the address holds a control character",
     .check =
         [](HttpRig& rig) {
             EXPECT_TRUE(rig.socket.resolved.empty());
             noConnection(rig);
         }},
    {.name = "a relocation to an address holding a control character: nothing more is sent",
     .peers = {silentAfter({moved("/s/ok\rX-Injected: 1")}), answering({kOk5 + "hello"})},
     .code = 404,
     .message = "the address holds a control character",
     .check =
         [](HttpRig& rig) {
             ASSERT_EQ(rig.socket.connections.size(), 1u);
             EXPECT_EQ(rig.socket.connections[0].sent.find("X-Injected"), std::string::npos);
         }},
    {.name = "a stream that cannot store: the document ends, the connection is dropped, Get fails",
     .peers = {silentAfter({kOk5 + "12345"})},
     .setup = [](HttpRig& rig) { rig.stream.capacity = 3; },
     .events = "BE",
     .streams = {"123"},
     .code = 404,
     .messageHas = "could not be stored",
     .check =
         [](HttpRig& rig) {
             dropped(rig);
             const auto& calls = rig.socket.calls;
             EXPECT_TRUE(std::count(calls.begin(), calls.end(), "handlerError") +
                             std::count(calls.begin(), calls.end(), "abort") >
                         0);
         }},
};

TEST_P(Failures, EndTheGetAsTheyShould) {
    for (const Exchange& x : kFailures) runExchange(x, GetParam());
}

// A header of `lines` lines and `bytes` bytes, line ends and the empty line
// that ends it included, after an interim answer when `interim`; a body of 5.
std::string headerOf(std::size_t lines, std::size_t bytes, bool interim) {
    std::string header = interim ? "HTTP/1.1 100 Continue\r\n\r\n" : "";
    header += "HTTP/1.0 200 OK\r\nContent-Length: 5\r\n";
    const std::size_t fillers = lines - (interim ? 5 : 3);
    std::size_t left = bytes - header.size() - 2;
    for (std::size_t i = fillers; i > 0; --i) {
        const std::size_t size = left / i;  // "X:" and the line end take 4
        header += "X:" + std::string(size - 4, 'y') + "\r\n";
        left -= size;
    }
    return header + "\r\n" + "hello";
}

Exchange headerBound(const char* name, std::size_t lines, std::size_t bytes, bool interim) {
    const bool within = lines <= ResponseParser::kMaxHeaderLines &&
                        bytes <= ResponseParser::kMaxHeaderBytes;
    return {.name = name,
            .peers = {answering({headerOf(lines, bytes, interim)})},
            .events = within ? "BE" : "",
            .streams = {within ? "hello" : ""},
            .code = within ? 0 : 404,
            .message = within ? "" : "the response header is too long"};
}

// However a server goes on with its header, the client holds no more of it
// than the bounds; interim answers count with the final one.
TEST_P(Failures, AHeaderPastItsBoundsEndsTheRequest) {
    const std::size_t maxLines = ResponseParser::kMaxHeaderLines;
    const std::size_t maxBytes = ResponseParser::kMaxHeaderBytes;
    const Exchange bounds[] = {
        headerBound("as many lines as may be", maxLines, 4000, false),
        headerBound("one line more", maxLines + 1, 4000, false),
        headerBound("one line more with an interim answer", maxLines + 1, 4000, true),
        headerBound("as many bytes as may be", 40, maxBytes, true),
        headerBound("one byte more", 40, maxBytes + 1, false),
        headerBound("one byte more with an interim answer", 40, maxBytes + 1, true),
    };
    for (const Exchange& x : bounds) runExchange(x, GetParam());
}

}  // namespace
