#include <algorithm>
#include <cctype>

#include "http_rig.h"

namespace {

using Relocations = HttpSplit;
INSTANTIATE_TEST_SUITE_P(Splits, Relocations, allSplits(), splitName);

TEST_P(Relocations, GoToTheNewTargetOverANewConnection) {
    struct Case {
        std::string url, location, host, port, requestLine, hostLine, docName;
    };
    const Case cases[] = {
        {"http://example.com/dir/old.txt", "/new", "example.com", "80", "GET /new HTTP/1.0",
         "Host: example.com", "new"},
        {"http://example.com/dir/old.txt", "new.txt", "example.com", "80",
         "GET /dir/new.txt HTTP/1.0", "Host: example.com", "new.txt"},
        {"http://example.com/dir/old.txt?v=/x/y", "new.txt", "example.com", "80",
         "GET /dir/new.txt HTTP/1.0", "Host: example.com", "new.txt"},
        {"http://example.com:8080/a", "/b/c.bin", "example.com", "8080", "GET /b/c.bin HTTP/1.0",
         "Host: example.com:8080", "c.bin"},
        {"http://example.com:8080/a", "http://other.example:81/b/file.bin", "other.example", "81",
         "GET /b/file.bin HTTP/1.0", "Host: other.example:81", "file.bin"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.location);
        HttpRig rig(GetParam(), {silentAfter({moved(c.location)}), answering({kOk5 + "hello"})});
        EXPECT_FALSE(rig.get(c.url).raised);
        ASSERT_EQ(rig.socket.connections.size(), 2u);
        EXPECT_FALSE(rig.socket.connections[0].open);
        EXPECT_EQ(rig.socket.resolved.back(), c.host);
        EXPECT_EQ(rig.socket.connections[1].port, c.port);
        const std::string request = rig.socket.connections[1].sent;
        EXPECT_TRUE(request.starts_with(c.requestLine + "\r\n")) << request;
        EXPECT_NE(request.find("\r\n" + c.hostLine + "\r\n"), std::string::npos) << request;
        EXPECT_EQ(rig.cli.DocName(), c.docName);
        EXPECT_EQ(rig.events, "BE");
        EXPECT_EQ(rig.stream.bytes, "hello");
    }
}

void connections(HttpRig& rig, std::size_t count) {
    EXPECT_EQ(rig.socket.connections.size(), count);
}

// The server kept the connection open: the next request goes over it.
void secondRequestOnTheSameConnection(HttpRig& rig) {
    connections(rig, 1);
    const auto requests = rig.socket.requests(0);
    ASSERT_EQ(requests.size(), 2u);
    EXPECT_TRUE(requests[1].starts_with("GET /new HTTP/1.0\r\n")) << requests[1];
}

const std::string kKeepAlive = "Connection: keep-alive\r\n";

const Exchange kChains[] = {
    {.name = "302 with a body of known length: two documents, the stream keeps both",
     .peers = {silentAfter({moved("/new",
                                  "Content-Type: text/html\r\nContent-Length: 12\r\n\r\n"
                                  "<a>moved</a>")}),
               answering({kOk5 + "hello"})},
     .events = "BEBE",
     .streams = {"<a>moved</a>hello"}},
    {.name = "302 whose body the close cuts short: that body is cut out of the stream",
     .peers = {answering({moved("/new", "Content-Length: 40\r\n\r\n<a>moved</a>")}),
               answering({kOk5 + "hello"})},
     .events = "BEBE",
     .streams = {"hello"}},
    {.name = "a Location on a body that ends with the close; the next document comes whole",
     .peers = {answering({"HTTP/1.0 200 OK\r\nLocation: /new\r\n\r\nabc"}),
               answering({kOk5 + "hello"})},
     .events = "BEBE",
     .streams = {"hello"},
     .check = [](HttpRig& rig) { EXPECT_EQ(rig.cli.RcvdCount(), 5); }},
    {.name = "twenty relocations are followed",
     .peers = relocationChain(20, "done"),
     .events = "BE",
     .streams = {"done"},
     .check = [](HttpRig& rig) { connections(rig, 21); }},
    {.name = "the twenty-first relocation fails the request",
     .peers = relocationChain(21, "done"),
     .code = 404,
     .check =
         [](HttpRig& rig) {
             connections(rig, 21);
             std::string message = rig.last.message;
             std::transform(message.begin(), message.end(), message.begin(),
                            [](unsigned char c) { return std::tolower(c); });
             EXPECT_NE(message.find("relocation"), std::string::npos) << rig.last.message;
         }},
    {.name = "a relocation to https is refused after the lookup",
     .peers = {silentAfter({moved("https://secure.example/x")}), answering({})},
     .code = 501,
     .message = "Protocol \"https\" not implemented",
     .check =
         [](HttpRig& rig) {
             EXPECT_EQ(rig.socket.resolved.back(), "secure.example");
             connections(rig, 1);
         }},
    {.name = "keep-alive: a relocation without a body is followed on the same connection",
     .peers = {silentAfter({moved("/new", kKeepAlive + "\r\n"), kOk5 + "hello"})},
     .events = "BE",
     .streams = {"hello"},
     .check = secondRequestOnTheSameConnection},
    {.name = "keep-alive: a relocation with a body is followed on the same connection",
     .peers = {silentAfter(
         {moved("/new", kKeepAlive + "Content-Length: 5\r\n\r\nmoved"), kOk5 + "hello"})},
     .events = "BEBE",
     .streams = {"movedhello"},
     .check = secondRequestOnTheSameConnection},
    {.name = "keep-alive: the server closes after the relocation; it is followed once, anew",
     .peers = {answering({moved("/new", kKeepAlive + "\r\n")}), answering({kOk5 + "hello"})},
     .events = "BE",
     .streams = {"hello"},
     .check =
         [](HttpRig& rig) {
             connections(rig, 2);
             EXPECT_EQ(rig.cli.StatusCode(), 200);
             EXPECT_TRUE(rig.socket.requests(1).at(0).starts_with("GET /new HTTP/1.0\r\n"));
         }},
};

TEST_P(Relocations, FollowChainsToTheirLastDocument) {
    for (const Exchange& x : kChains) runExchange(x, GetParam());
}

}  // namespace

namespace {

// The server closed the kept connection between two requests: the second
// request meets the close before any byte of its answer and goes out anew.
TEST_P(Relocations, ARequestOnAKeptConnectionTheServerClosedIsSentAgain) {
    // The kept connection's answer to the second request is its close.
    HttpRig rig(GetParam(), {answering({"HTTP/1.0 200 OK\r\n" + kKeepAlive + kOk5.substr(17) +
                                            "first",
                                        ""}),
                             answering({kOk5 + "again"})});
    ASSERT_FALSE(rig.get("http://example.com/a").raised);
    const Outcome second = rig.get("http://example.com/b");
    EXPECT_FALSE(second.raised) << second.message;
    EXPECT_EQ(rig.stream.bytes, "firstagain");
    connections(rig, 2);
}

}  // namespace
