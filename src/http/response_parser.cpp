#include "http/response_parser.h"

#include <algorithm>
#include <optional>

#include "base/text.h"

namespace {

using Kind = ResponseEvent::Kind;


bool startsWith(std::string_view text, std::string_view prefix) {
    return text.substr(0, prefix.size()) == prefix;
}

// Three decimal digits and nothing else.
std::optional<int> statusCodeOf(std::string_view digits) {
    if (digits.size() != 3) return std::nullopt;
    int code = 0;
    for (char c : digits) {
        if (c < '0' || c > '9') return std::nullopt;
        code = code * 10 + (c - '0');
    }
    return code;
}

}  // namespace

void ResponseParser::start(bool headRequest) {
    phase_ = Phase::Header;
    framing_ = Framing::None;
    headRequest_ = headRequest;
    closed_ = false;
    receivedNothing_ = true;
    docBegun_ = false;
    documentWhole_ = false;
    head_ = {};
    line_.clear();
    lineDone_ = false;
    headerBytes_ = 0;
    headerLines_ = 0;
    bareStart_.clear();
    bareSent_ = false;
    remaining_ = 0;
    chunks_.reset();
    failure_.clear();
    pendingFailure_.clear();
}

void ResponseParser::close() {
    closed_ = true;
}

bool ResponseParser::expectsBody() const {
    return framing_ != Framing::None;
}

ResponseEvent ResponseParser::next(std::string_view& input) {
    switch (phase_) {
        case Phase::Header:
            return header(input);
        case Phase::Located:
            phase_ = Phase::HeaderEnded;
            return {Kind::HeaderEnd, {}};
        case Phase::HeaderEnded:
            if (framing_ == Framing::None) return finish(Kind::Complete);
            phase_ = Phase::Body;
            return body(input);
        case Phase::Body:
            return body(input);
        case Phase::BodyEnded:
            if (pendingFailure_.empty()) return finish(Kind::Complete);
            return finish(Kind::Failure, pendingFailure_);
        case Phase::Over:
            break;
    }
    return {};
}

// ---- the header

ResponseEvent ResponseParser::header(std::string_view& input) {
    while (!input.empty()) {
        if (lineDone_) {
            line_.clear();
            lineDone_ = false;
            lineEndsWithCr_ = false;
        }
        receivedNothing_ = false;
        const auto lf = input.find('\n');
        const std::string_view part = input.substr(0, lf);
        headerBytes_ += part.size() + (lf == std::string_view::npos ? 0 : 1);
        if (lf != std::string_view::npos) ++headerLines_;
        if (headerBytes_ > kMaxHeaderBytes || headerLines_ > kMaxHeaderLines) {
            input = {};
            return finish(Kind::Failure, "the response header is too long");
        }
        if (!part.empty()) lineEndsWithCr_ = part.back() == '\r';
        // An over-long line keeps its beginning; the rest of it is dropped.
        line_.append(part.substr(0, kMaxLine - std::min(kMaxLine, line_.size())));
        if (lf == std::string_view::npos) {
            input = {};
            break;
        }
        input.remove_prefix(lf + 1);
        lineDone_ = true;
        if (lineEndsWithCr_ && !line_.empty() && line_.back() == '\r') line_.pop_back();
        const ResponseEvent event = line(line_);
        if (event.kind != Kind::NeedMore) return event;
    }
    if (!closed_) return {};
    return finish(Kind::Failure, receivedNothing_
                                     ? "the connection closed before any status line"
                                     : "the connection closed before the end of the header");
}

// One header line; NeedMore when it makes no event of its own.
ResponseEvent ResponseParser::line(std::string_view text) {
    if (text.empty()) return headerEnd();
    if (head_.lines.empty()) {
        if (equalsIgnoringAsciiCase(text.substr(0, 6), "<html>")) return barePage(text);
        head_.lines.emplace_back(text);
        return statusLine(text);
    }
    head_.lines.emplace_back(text);
    if (text.find(':') != std::string_view::npos) field(text);
    return {Kind::HeaderLine, text};
}

// A page sent without status line or header: the body runs to the close and
// begins with this line, which keeps its line end.
ResponseEvent ResponseParser::barePage(std::string_view text) {
    if (head_.contentType.empty()) head_.contentType = "text/html";
    bareStart_ = std::string(text) + (lineEndsWithCr_ ? "\r\n" : "\n");
    framing_ = Framing::ToClose;
    phase_ = Phase::HeaderEnded;
    return {Kind::HeaderEnd, {}};
}

// A first line without "HTTP/1.x" sets no status; one with a status code that
// is not three digits cannot be read on.
ResponseEvent ResponseParser::statusLine(std::string_view text) {
    if (!startsWith(text, "HTTP/1.0") && !startsWith(text, "HTTP/1.1")) {
        return {Kind::StatusLine, text};
    }
    const auto code = statusCodeOf(text.size() >= 12 ? text.substr(9, 3) : std::string_view());
    if (!code) return finish(Kind::Failure, "the status code is not a number: " + std::string(text));
    head_.version = std::string(text.substr(5, 3));
    head_.statusCode = *code;
    head_.reasonPhrase = text.size() > 13 ? std::string(text.substr(13)) : std::string();
    return {Kind::StatusLine, text};
}

void ResponseParser::field(std::string_view text) {
    const auto colon = text.find(':');
    const std::string_view name = text.substr(0, colon);
    std::string_view value = text.substr(colon + 1);
    value.remove_prefix(std::min(value.find_first_not_of(' '), value.size()));
    if (equalsIgnoringAsciiCase(name, "location")) {
        head_.hasLocation = true;
        head_.location = std::string(value);
    } else if (equalsIgnoringAsciiCase(name, "content-length")) {
        const auto length = parseDecimalInt32(trimmed(value));
        // A negative length is no length: the body then runs to the close.
        head_.contentLength = length && *length >= 0 ? *length : -1;
    } else if (equalsIgnoringAsciiCase(name, "transfer-encoding")) {
        head_.transferEncoding = std::string(value);
    } else if (equalsIgnoringAsciiCase(name, "content-type")) {
        head_.contentType = asciiLowerCase(value);
    } else if (equalsIgnoringAsciiCase(name, "connection") || equalsIgnoringAsciiCase(name, "proxy-connection")) {
        const std::string_view mode = trimmed(value);
        if (equalsIgnoringAsciiCase(mode, "close")) head_.connection = ResponseHead::Connection::Close;
        if (equalsIgnoringAsciiCase(mode, "keep-alive")) {
            head_.connection = ResponseHead::Connection::KeepAlive;
        }
    }
}

ResponseEvent ResponseParser::headerEnd() {
    // Empty lines before a response are no response of their own.
    if (head_.lines.empty()) return {};
    const int status = head_.statusCode;
    if (!head_.version.empty() && status >= 100 && status < 200) {
        // An interim answer: the real status line comes next, afresh.
        head_ = {};
        return {};
    }
    chooseFraming();
    if (head_.hasLocation) {
        phase_ = Phase::Located;
        return {Kind::Relocation, head_.location};
    }
    phase_ = Phase::HeaderEnded;
    return {Kind::HeaderEnd, {}};
}

// How the body ends. A chunked body ends at its last chunk whatever a length
// says; otherwise a length ends it, or the close does.
void ResponseParser::chooseFraming() {
    const int status = head_.statusCode;
    const bool neverABody = status < 200 || status == 204 || status == 304;
    framing_ = Framing::None;
    if (headRequest_) return;
    if (head_.transferEncoding == "chunked") {
        if (!neverABody) framing_ = Framing::Chunked;
        return;
    }
    const int length = head_.contentLength;
    const bool lengthless = neverABody || status == 301 || status == 302;
    if ((length != -1 || !lengthless) && length != 0) {
        framing_ = length == -1 ? Framing::ToClose : Framing::Length;
        remaining_ = length;
    }
}

// ---- the body

ResponseEvent ResponseParser::body(std::string_view& input) {
    if (bareSent_) {
        bareStart_.clear();
        bareSent_ = false;
    }
    if (docBegun_ && bodyDone()) return endDocument(true);
    if (!docBegun_) {
        if (input.empty() && bareStart_.empty()) return closed_ ? bodyClosed() : ResponseEvent{};
        docBegun_ = true;
        return {Kind::DocBegin, {}};
    }
    if (!bareStart_.empty()) {
        bareSent_ = true;
        return {Kind::Data, bareStart_};
    }
    if (input.empty()) return closed_ ? bodyClosed() : ResponseEvent{};
    std::string_view data;
    switch (framing_) {
        case Framing::Length:
            data = input.substr(0, static_cast<std::size_t>(
                                       std::min<std::int64_t>(remaining_, std::int64_t(input.size()))));
            input.remove_prefix(data.size());
            remaining_ -= static_cast<std::int64_t>(data.size());
            break;
        case Framing::Chunked:
            data = chunks_.next(input);
            if (data.empty()) return chunks_.done() ? endDocument(true) : ResponseEvent{};
            break;
        case Framing::ToClose:
        case Framing::None:
            data = input;
            input = {};
            break;
    }
    return {Kind::Data, data};
}

bool ResponseParser::bodyDone() const {
    return (framing_ == Framing::Length && remaining_ == 0) ||
           (framing_ == Framing::Chunked && chunks_.done());
}

// The close ends a body that runs to it; any other body it cuts short.
ResponseEvent ResponseParser::bodyClosed() {
    if (framing_ == Framing::ToClose) {
        return docBegun_ ? endDocument(true) : finish(Kind::Complete);
    }
    std::string cut = framing_ == Framing::Chunked
                          ? "the connection closed before the last chunk of the body"
                          : "the connection closed after " +
                                decimal(head_.contentLength - remaining_) + " of the " +
                                decimal(head_.contentLength) + " bytes of the body";
    if (!docBegun_) return finish(Kind::Failure, std::move(cut));
    pendingFailure_ = std::move(cut);
    return endDocument(false);
}

ResponseEvent ResponseParser::endDocument(bool whole) {
    documentWhole_ = whole;
    phase_ = Phase::BodyEnded;
    return {Kind::DocEnd, {}};
}

ResponseEvent ResponseParser::finish(Kind kind, std::string failure) {
    phase_ = Phase::Over;
    failure_ = std::move(failure);
    return {kind, failure_};
}
