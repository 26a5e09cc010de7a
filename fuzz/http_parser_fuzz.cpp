// The response parser, fed in random splits as the client feeds it. An odd first byte sends
// the rest as it is (with bits 2 to 4 set, repeated past the header's byte bound as one
// response): every call must take a byte or make an event, the events come in order and
// few, and no header grows past its bounds. An even one builds up to four valid responses on one connection from the
// input, which must come out as built: each body byte for byte, the final status, and no
// field of an interim answer.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz_check.h"
#include "http/response_parser.h"

// The harness's own branches are no coverage worth keeping an input for, and every feature a
// run hits costs libFuzzer bookkeeping: only the parser's code is instrumented.
#pragma clang attribute push(__attribute__((no_sanitize("coverage"))), apply_to = function)

namespace {

using Kind = ResponseEvent::Kind;

// Building takes bytes from the front; split sizes come from the back: mostly small pieces,
// some of a few hundred bytes, and past the back byte all that is left at once.
struct Reader {
    const std::uint8_t* front;
    const std::uint8_t* back;
    std::uint8_t byte() { return front < back ? *front++ : 0; }
    std::size_t cut(std::size_t left) {
        const std::uint8_t b = front < back ? *--back : 0xFF;
        return b >= 0xF0 ? left : std::min<std::size_t>(left, b < 0x80 ? 1 + b % 16 : b * 2);
    }
};

// Where each event may come in a response, and where it leads: status and header lines, a
// Relocation right before HeaderEnd, a document, then Complete or Failure.
enum Step { Head, Located, Ended, InDoc, DocDone, Over, No };
static_assert(static_cast<int>(Kind::Failure) == 9, "a row of kAfter for each kind, in order");
constexpr Step kAfter[][5] = {
    // Head  Located  Ended  InDoc    DocDone
    {Head, Located, Ended, InDoc, DocDone},  // NeedMore
    {Head, No, No, No, No},                  // StatusLine
    {Head, No, No, No, No},                  // HeaderLine
    {Located, No, No, No, No},               // Relocation
    {Ended, Ended, No, No, No},              // HeaderEnd
    {No, No, InDoc, No, No},                 // DocBegin
    {No, No, No, InDoc, No},                 // Data
    {No, No, No, DocDone, No},               // DocEnd
    {No, No, Over, No, Over},                // Complete
    {Over, No, Over, No, Over},              // Failure
};

// Feeds the wire in pieces; a response that ends hands the bytes after it to the next one,
// which next(bytesLeft) starts, or returns false when there is none. The close comes after
// the last byte.
template <class OnEvent, class Next>
void drive(ResponseParser& parser, std::string_view wire, Reader& in, OnEvent onEvent, Next next) {
    const std::size_t limit = 4 * (wire.size() + 10);
    std::size_t events = 0, callsSinceClose = 0;
    // What the header took, interim answers included, before it ended or failed.
    std::size_t headerBytes = 0, headerLines = 0;
    bool closed = false;
    std::string_view piece;
    Step step = Head;
    for (;;) {
        if (piece.empty() && !wire.empty()) {
            piece = wire.substr(0, in.cut(wire.size()));
            wire.remove_prefix(piece.size());
        }
        const std::size_t before = piece.size();
        const std::string_view fed = piece;
        const ResponseEvent event = parser.next(piece);
        if (step == Head && event.kind != Kind::Failure) {
            const std::string_view taken = fed.substr(0, before - piece.size());
            headerBytes += taken.size();
            headerLines += static_cast<std::size_t>(std::count(taken.begin(), taken.end(), '\n'));
            require(headerBytes <= ResponseParser::kMaxHeaderBytes &&
                        headerLines <= ResponseParser::kMaxHeaderLines,
                    "a header past its bounds fails");
        }
        require(!closed || ++callsSinceClose <= 8, "after the close the end comes in few calls");
        if (event.kind == Kind::NeedMore) {
            if (piece.size() < before) continue;
            require(piece.empty() && !closed, "a call takes a byte or makes an event");
            closed = wire.empty();
            if (closed) parser.close();
            continue;
        }
        require(++events <= limit, "the events are few for the bytes");
        require(step != DocDone || (event.kind == Kind::Complete) == parser.documentWhole(),
                "a whole document completes its response, a cut one fails it");
        step = kAfter[static_cast<int>(event.kind)][step];
        require(step != No && (step != InDoc || parser.expectsBody()), "the events come in order");
        require(parser.over() == (step == Over), "over() once Complete or Failure has come");
        onEvent(event);
        if (step != Over) continue;
        if (!next(!piece.empty() || !wire.empty())) return;
        step = Head;
        callsSinceClose = 0;
        headerBytes = headerLines = 0;
        if (closed) parser.close();
    }
}

// Four responses take some 15 kB at most, whatever the input.
struct Wire {
    char bytes[1 << 15];
    std::size_t size = 0;
    void put(std::string_view text) {
        require(size + text.size() <= sizeof bytes, "the responses fit the wire");
        std::memcpy(bytes + size, text.data(), text.size());
        size += text.size();
    }
    void put(char c) { put({&c, 1}); }
    void number(unsigned n) {
        if (n >= 10) number(n / 10);
        put(static_cast<char>('0' + n % 10));
    }
};

struct Built {
    bool headRequest = false, noBody = false, keepAlive = false;
    int status = 200, statusLines = 1, length = -1;  // length: as head() shows it
    std::string_view location, body;
};

// A header line with its name in mixed case and a few spaces after the colon; a number
// from 0 follows the value.
void field(Wire& out, Reader& in, std::string_view name, std::string_view value, int number = -1) {
    const std::uint8_t mask = in.byte();
    for (std::size_t i = 0; i < name.size(); ++i) {
        const bool letter = (name[i] | 0x20) >= 'a' && (name[i] | 0x20) <= 'z';
        out.put(letter && (mask >> (i % 8) & 1) ? static_cast<char>(name[i] ^ 0x20) : name[i]);
    }
    out.put(':');
    for (int n = in.byte() % 4; n > 0; --n) out.put(' ');
    out.put(value);
    if (number >= 0) out.number(static_cast<unsigned>(number));
    out.put("\r\n");
}

void chunked(Wire& out, Reader& in, std::string_view body) {
    for (std::size_t size = 1; size != 0; body.remove_prefix(size)) {
        const std::uint8_t b = in.byte();
        size = std::min<std::size_t>(body.size(), 1 + b % 40);
        const char* digits = b & 0x80 ? "0123456789ABCDEF" : "0123456789abcdef";
        if (b & 0x40 || size >= 16) out.put(digits[size / 16]);
        out.put(digits[size % 16]);
        out.put(b & 0x20 ? ";x=1\r\n" : "\r\n");
        if (size != 0) out.put(body.substr(0, size)), out.put("\r\n");
    }
    for (int n = in.byte() % 3; n > 0; --n) field(out, in, "X-Trailer", "t");
    out.put("\r\n");
}

// Shapes: a length, chunks, to the close (the connection's last response only), a
// relocation, no body, the answer to a HEAD request; some interim answers before.
Built build(Wire& out, Reader& in, bool last) {
    Built want;
    const std::uint8_t kind = in.byte(), flags = in.byte();
    for (; want.statusLines <= (kind >> 3) % 3; ++want.statusLines) {
        const std::uint8_t b = in.byte();
        out.put(b & 1 ? "HTTP/1.1 102 Processing\r\n" : "HTTP/1.1 100 Continue\r\n");
        if (b & 2) field(out, in, "Content-Length", "5");
        if (b & 4) field(out, in, "Transfer-Encoding", "chunked");
        if (b & 8) field(out, in, "Location", "/interim");
        if (b & 16) field(out, in, "Connection", "keep-alive");
        out.put("\r\n");
    }
    const int shape = kind % 6 == 2 && !last ? 0 : kind % 6;
    const bool chunks = shape == 1 || (shape == 5 && flags & 1);
    const std::size_t asked = shape == 4 ? 0 : in.byte();
    const std::size_t size = std::min<std::size_t>(asked, in.back - in.front);
    const std::string_view body(reinterpret_cast<const char*>(in.front), size);
    in.front += size;
    want.headRequest = shape == 5;
    want.noBody = shape >= 4 || (shape == 3 && !(flags & 2));
    want.body = want.noBody ? "" : body;
    if (shape == 3) want.status = flags & 1 ? 301 : 302;
    if (shape == 4 && !(flags & 2)) want.status = flags & 1 ? 204 : 304;
    out.put(flags & 4 ? "HTTP/1.0 " : "HTTP/1.1 ");
    out.number(static_cast<unsigned>(want.status));
    out.put(" Reason\r\n");
    const bool sized = !chunks && (shape == 0 || shape == 5 || (shape >= 3 && flags & 2));
    if (sized) field(out, in, "Content-Length", "", static_cast<int>(size));
    // A length beside the chunks, which their end overrides.
    if (shape == 1 && flags & 1) field(out, in, "Content-Length", "", flags);
    want.length = sized ? static_cast<int>(size) : shape == 1 && flags & 1 ? flags : -1;
    if (chunks) field(out, in, "Transfer-Encoding", "chunked");
    if (shape == 3) want.location = flags & 8 ? "/moved/here" : "/moved/there?a=1";
    if (shape == 3) field(out, in, "Location", want.location);
    if (flags & 8) field(out, in, "Content-Type", "text/plain");
    want.keepAlive = flags & 16 && shape != 2;
    if (want.keepAlive) field(out, in, "Connection", flags & 32 ? "Keep-Alive" : "keep-alive");
    out.put("\r\n");
    if (shape == 1)
        chunked(out, in, body);
    else
        out.put(want.body);
    return want;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size == 0) return 0;
    Reader in{data + 1, data + size};
    ResponseParser parser;
    if (data[0] & 1) {
        const bool headRequest = data[0] & 2;
        parser.start(headRequest);
        const auto any = [](const ResponseEvent&) {};
        const auto again = [&](bool bytesLeft) {
            if (bytesLeft) parser.start(headRequest);
            return bytesLeft;
        };
        std::string_view wire(reinterpret_cast<const char*>(data + 1), size - 1);
        if ((data[0] & 0x1C) == 0x1C && !wire.empty()) {
            // Fed whole and read as one response, or each run would be slow.
            static std::string repeated;
            repeated.clear();
            while (repeated.size() <= ResponseParser::kMaxHeaderBytes) repeated += wire;
            Reader whole{in.front, in.front};
            drive(parser, repeated, whole, any, [](bool) { return false; });
            return 0;
        }
        drive(parser, wire, in, any, again);
        return 0;
    }
    static Wire wire;
    wire.size = 0;
    Built built[4];
    const std::size_t count = 1 + (data[0] >> 1) % 4;
    for (std::size_t i = 0; i < count; ++i) built[i] = build(wire, in, i + 1 == count);
    std::size_t current = 0, got = 0;
    int statusLines = 0;
    bool relocated = false;
    const auto check = [&](const ResponseEvent& e) {
        const Built& want = built[current];
        const ResponseHead& head = parser.head();
        statusLines += e.kind == Kind::StatusLine;
        relocated |= e.kind == Kind::Relocation;
        require(e.kind != Kind::Relocation || e.text == want.location, "the relocation sent");
        if (e.kind == Kind::HeaderEnd) {
            require(head.statusCode == want.status && statusLines == want.statusLines,
                    "the final status, after every interim one");
            require(head.contentLength == want.length && relocated == !want.location.empty() &&
                        (head.connection == ResponseHead::Connection::KeepAlive) == want.keepAlive,
                    "the final header's fields, none of an interim one");
        }
        require(e.kind != Kind::DocBegin || !want.noBody, "no document where there is no body");
        if (e.kind == Kind::Data) {
            require(e.text == want.body.substr(got, e.text.size()), "the body comes as sent");
            got += e.text.size();
        }
        require(e.kind != Kind::DocEnd || parser.documentWhole(), "a sent body is whole");
        require(e.kind != Kind::Complete || got == want.body.size(), "the whole body comes");
        require(e.kind != Kind::Failure, "a valid response never fails");
    };
    const auto nextResponse = [&](bool bytesLeft) {
        got = 0;
        statusLines = 0;
        relocated = false;
        if (++current == count) {
            require(!bytesLeft, "the last response takes the last byte");
            return false;
        }
        parser.start(built[current].headRequest);
        return true;
    };
    parser.start(built[0].headRequest);
    drive(parser, {wire.bytes, wire.size}, in, check, nextResponse);
    return 0;
}

#pragma clang attribute pop
