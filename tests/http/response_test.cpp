#include <algorithm>

#include "http_rig.h"
#include "support/test_bytes.h"

namespace {

using namespace std::string_literals;

using Responses = HttpSplit;
INSTANTIATE_TEST_SUITE_P(Splits, Responses, allSplits(), splitName);

const std::string kChunked = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n";
const std::string k27 = "abcdefghijklmnopqrstuvwxyz!";
const std::string kLongLine = "X-Long: " + std::string(9000, 'a');

// A body several receive buffers long, with bytes that show a slip.
std::string bigBody() {
    const Bytes bytes = patternedBytes(20000, 7);
    return std::string(bytes.begin(), bytes.end());
}

std::vector<Exchange> htmlWithoutStatusLine() {
    std::vector<Exchange> cases;
    for (const std::string tag : {"<html>", "<HTML>", "<HtMl>"}) {
        const std::string line = tag + "<p>hi</p>";
        cases.push_back({.name = "a first line beginning with <html> in any case",
                         .peers = {answering({line + "\r\nmore\r\n"})},
                         .events = "BE",
                         // Whether the first line keeps its line end is open.
                         .streams = {line + "\r\nmore\r\n", line + "more\r\n"},
                         .check = [](HttpRig& rig) {
                             EXPECT_EQ(rig.cli.StatusCode(), 0);
                             EXPECT_EQ(rig.cli.ContentType(), "text/html");
                         }});
    }
    return cases;
}

// A chunked body ends at its last chunk whatever a length says, also on a
// connection the server keeps open.
std::vector<Exchange> chunkedWithALength() {
    std::vector<Exchange> cases;
    for (const char* length : {"5", "2", "100"}) {
        cases.push_back({.name = "chunked with a Content-Length ends at its last chunk",
                         .peers = {silentAfter({"HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n"
                                                "Content-Length: " + std::string(length) +
                                                "\r\n\r\n5\r\nhello\r\n0\r\n\r\n"})},
                         .events = "BE",
                         .streams = {"hello"}});
    }
    return cases;
}

std::vector<Exchange> bodies() {
    std::vector<Exchange> cases = {
        {.name = "length 5 with more bytes after the body",
         .peers = {answering({kOk5 + "12345678"})},
         .events = "BE",
         .streams = {"12345"},
         .check = [](HttpRig& rig) { EXPECT_EQ(rig.cli.RcvdCount(), 5); }},
        {.name = "length 0 is no document",
         .peers = {silentAfter({"HTTP/1.0 200 OK\r\nContent-Length: 0\r\n\r\n"})}},
        {.name = "without a length the body runs to the close",
         .peers = {answering({"HTTP/1.0 200 OK\r\n\r\nabc\r\ndef"})},
         .events = "BE",
         .streams = {"abc\r\ndef"}},
        {.name = "a length that is not a number: the body runs to the close",
         .peers = {answering({"HTTP/1.0 200 OK\r\nContent-Length: 5x\r\n\r\n12345678"})},
         .events = "BE",
         .streams = {"12345678"}},
        {.name = "304 without a length has no body",
         .peers = {silentAfter({"HTTP/1.0 304 Not Modified\r\n\r\n"})}},
        {.name = "a body longer than the receive buffer",
         .peers = {silentAfter({"HTTP/1.0 200 OK\r\nContent-Length: 20000\r\n\r\n" + bigBody()})},
         .events = "BE",
         .streams = {bigBody()}},
        {.name = "a chunk longer than the receive buffer",
         .peers = {silentAfter({kChunked + "4E20\r\n" + bigBody() + "\r\n0\r\n\r\n"})},
         .events = "BE",
         .streams = {bigBody()}},
        {.name = "chunked with an extension",
         .peers = {silentAfter({kChunked + "5;x=1\r\nhello\r\n0\r\n\r\n"})},
         .events = "BE",
         .streams = {"hello"}},
        {.name = "chunk sizes in hexadecimal of either case",
         .peers = {silentAfter(
             {kChunked + "3\r\nabc\r\na\r\n0123456789\r\n1B\r\n" + k27 + "\r\n0\r\n\r\n"})},
         .events = "BE",
         .streams = {"abc0123456789" + k27}},
        {.name = "Chunked with a capital C is data to the close",
         .peers = {answering(
             {"HTTP/1.1 200 OK\r\nTransfer-Encoding: Chunked\r\n\r\n5\r\nhello\r\n0\r\n\r\n"})},
         .events = "BE",
         .streams = {"5\r\nhello\r\n0\r\n\r\n"}},
        {.name = "a header name in mixed case with spaces after the colon",
         .peers = {answering({"HTTP/1.0 200 OK\r\ncontent-LENGTH:   5\r\n\r\n12345678"})},
         .events = "BE",
         .streams = {"12345"}},
        {.name = "an interim 100 is dropped",
         .peers = {silentAfter({"HTTP/1.1 100 Continue\r\n\r\nHTTP/1.1 200 OK\r\n"
                                "Content-Length: 5\r\n\r\nhello"})},
         .events = "BE",
         .streams = {"hello"},
         .check = [](HttpRig& rig) { EXPECT_EQ(rig.cli.StatusCode(), 200); }},
        {.name = "chunked with trailer lines",
         .peers = {silentAfter({kChunked + "5\r\nhello\r\n0\r\nX-Sum: 1\r\nX-More: 2\r\n\r\n"})},
         .events = "BE",
         .streams = {"hello"}},
        {.name = "an interim response's length does not carry into a bare page after it",
         .peers = {answering(
             {"HTTP/1.1 100 Continue\r\nContent-Length: 2\r\n\r\n<html>\n<p>x</p>\n</html>\n"})},
         .events = "BE",
         .streams = {"<html>\n<p>x</p>\n</html>\n"},
         .check = [](HttpRig& rig) { EXPECT_EQ(rig.cli.StatusCode(), 0); }},
        {.name = "an interim 102 with a length: the next status line is no body",
         .peers = {silentAfter({"HTTP/1.1 102 Processing\r\nContent-Length: 9\r\n\r\n"
                                "HTTP/1.1 200 OK\r\nContent-Length: 5\r\n\r\nhello"})},
         .events = "BE",
         .streams = {"hello"},
         .check = [](HttpRig& rig) { EXPECT_EQ(rig.cli.StatusCode(), 200); }},
        {.name = "a line longer than the receive buffer is cut and parsing goes on",
         .peers = {answering(
             {"HTTP/1.0 200 OK\r\n" + kLongLine + "\r\nContent-Length: 5\r\n\r\nhello!!!"})},
         .events = "BE",
         .streams = {"hello"},
         .check =
             [](HttpRig& rig) {
                 const auto& header = rig.cli.RcvdHeader();
                 const auto cut = std::find_if(header.begin(), header.end(), [](auto& line) {
                     return line.starts_with("X-Long: ");
                 });
                 ASSERT_NE(cut, header.end());
                 EXPECT_LT(cut->size(), 8193u);
                 EXPECT_TRUE(kLongLine.starts_with(*cut));
             }},
        {.name = "a 0 byte inside a header line hides nothing after it",
         .peers = {answering(
             {"HTTP/1.0 200 OK\r\nX-Odd: a\0b\r\nContent-Length: 5\r\n\r\nhello!!!"s})},
         .events = "BE",
         .streams = {"hello"}},
        {.name = "404 passes its body through the document events, then raises",
         .peers = {answering({"HTTP/1.0 404 Not Found\r\nContent-Length: 9\r\n\r\nnot here!"})},
         .events = "BE",
         .streams = {"not here!"},
         .code = 404,
         .message = "Not Found"},
        {.name = "401 returns with its body",
         .peers = {answering({"HTTP/1.0 401 Unauthorized\r\nContent-Length: 4\r\n\r\ndeny"})},
         .events = "BE",
         .streams = {"deny"}},
        {.name = "an HTML page under a program's name is named .htm",
         .url = "http://example.com/products/Telvarn/Telvarn.exe",
         .peers = {answering({"HTTP/1.0 200 OK\r\nContent-Type: Text/HTML\r\n"
                              "Content-Length: 2\r\n\r\nhi"})},
         .events = "BE",
         .streams = {"hi"},
         .check = [](HttpRig& rig) { EXPECT_EQ(rig.cli.DocName(), "Telvarn.htm"); }},
    };
    for (Exchange& x : htmlWithoutStatusLine()) cases.push_back(std::move(x));
    for (Exchange& x : chunkedWithALength()) cases.push_back(std::move(x));
    return cases;
}

TEST_P(Responses, ReachTheStreamAndTheDocumentEvents) {
    for (const Exchange& x : bodies()) runExchange(x, GetParam());
}

}  // namespace
