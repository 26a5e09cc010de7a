#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "http/chunk_decoder.h"

// What the parser found in the bytes fed to it.
struct ResponseEvent {
    enum class Kind {
        NeedMore,    // nothing more in the bytes fed: feed more, or close()
        StatusLine,  // text: the first line of a response (an interim one too)
        HeaderLine,  // text: a later non-empty header line
        Relocation,  // text: the Location of the final response, just before HeaderEnd
        HeaderEnd,   // the final response's header has ended
        DocBegin,    // the body is about to arrive
        Data,        // text: body bytes, decoded
        DocEnd,      // the body has ended; documentWhole() tells whether all of it came
        Complete,    // the response is over and whole
        Failure,     // text: what went wrong; the response is over
    };
    Kind kind = Kind::NeedMore;
    std::string_view text;
};

// The header of the response being read. Every status line starts it afresh,
// so nothing of an interim response carries into the one after it.
struct ResponseHead {
    enum class Connection { Unsaid, Close, KeepAlive };

    std::string version;  // "1.0" or "1.1"; empty without a status line
    int statusCode = 0;
    std::string reasonPhrase;
    int contentLength = -1;        // -1: none, or not a number
    std::string contentType;       // lower case
    std::string transferEncoding;  // as received
    Connection connection = Connection::Unsaid;
    std::vector<std::string> lines;  // every non-empty line, status line first
    bool hasLocation = false;
    std::string location;
};

// Reads one HTTP response from bytes fed in any split, with no socket, timer
// or loop of its own. next() hands out one event at a time; each call either
// takes at least one byte, or moves the response a step on, or reports
// NeedMore, so a driver that loops on it can never spin.
class ResponseParser {
  public:
    // A header line longer than this is cut short; the rest of it is dropped.
    static constexpr std::size_t kMaxLine = 8190;
    // A header (interim answers included) longer than either fails the
    // response: a server cannot make the client hold more than this.
    static constexpr std::size_t kMaxHeaderBytes = 64 * 1024;
    static constexpr std::size_t kMaxHeaderLines = 256;

    // Starts reading the response to a request; a HEAD request's has no body.
    void start(bool headRequest = false);
    // Takes bytes from the front of input and returns what they made. Views in
    // the event stay valid until the next call or until input's bytes go.
    ResponseEvent next(std::string_view& input);
    // The connection has closed: the events that follow end the response.
    void close();

    const ResponseHead& head() const { return head_; }
    // Not a byte of the response has come.
    bool receivedNothing() const { return receivedNothing_; }
    // Complete or Failure has been reported; later bytes are not this response's.
    bool over() const { return phase_ == Phase::Over; }
    // After HeaderEnd: a body follows.
    bool expectsBody() const;
    // Between DocBegin and DocEnd.
    bool documentOpen() const { return phase_ == Phase::Body && docBegun_; }
    // After DocEnd: the body came to its end, not cut by the close.
    bool documentWhole() const { return documentWhole_; }

  private:
    enum class Phase { Header, Located, HeaderEnded, Body, BodyEnded, Over };
    enum class Framing { None, Length, Chunked, ToClose };

    ResponseEvent header(std::string_view& input);
    ResponseEvent line(std::string_view text);
    ResponseEvent barePage(std::string_view text);
    ResponseEvent statusLine(std::string_view text);
    void field(std::string_view text);
    ResponseEvent headerEnd();
    void chooseFraming();
    ResponseEvent body(std::string_view& input);
    bool bodyDone() const;
    ResponseEvent bodyClosed();
    ResponseEvent endDocument(bool whole);
    ResponseEvent finish(ResponseEvent::Kind kind, std::string failure = {});

    Phase phase_ = Phase::Over;
    Framing framing_ = Framing::None;
    bool headRequest_ = false;
    bool closed_ = false;
    bool receivedNothing_ = true;
    bool docBegun_ = false;
    bool documentWhole_ = false;
    ResponseHead head_;
    // The header line being gathered; over-long lines stop growing here.
    std::string line_;
    bool lineDone_ = false;
    bool lineEndsWithCr_ = false;
    // What the header has taken so far, line ends included.
    std::size_t headerBytes_ = 0;
    std::size_t headerLines_ = 0;
    // The first line of a bare page, kept with its line end, as the body's start.
    std::string bareStart_;
    bool bareSent_ = false;
    std::int64_t remaining_ = 0;
    ChunkDecoder chunks_;
    std::string failure_;
    // A cut body ends its document first, then fails the response.
    std::string pendingFailure_;
};
