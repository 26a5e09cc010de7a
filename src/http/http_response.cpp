// Reading the response: lines, the status line and header, and the body.
#include <algorithm>
#include <cctype>

#include "base/text.h"
#include "http/doc_name.h"
#include "http/http_cli.h"

namespace {

std::string lowerCase(std::string text) {
    for (char& c : text) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

// A status code that is not a number ends the connection.
class BadStatusLine : public std::runtime_error {
  public:
    using std::runtime_error::runtime_error;
};

}  // namespace

void THttpCli::socketDataAvailable() {
    noteActivity();
    if (buffer_.receiveFrom(socket_) == 0) return;
    if (request_ == THttpRequest::httpABORT) return;
    processReceived();
}

void THttpCli::processReceived() {
    while (buffer_.size() > 0) {
        if (state_ == THttpState::httpWaitingBody) {
            processBody();
        } else if (!processLine()) {
            return;
        }
    }
}

// Takes one line off the buffer; false while its end has not come.
bool THttpCli::processLine() {
    const auto length = buffer_.lineLength();
    if (!length) return false;
    std::string line(reinterpret_cast<const char*>(buffer_.data()), *length - 1);
    if (!line.empty() && line.back() == '\r') line.pop_back();
    buffer_.consume(*length);
    if (state_ != THttpState::httpWaitingHeader && state_ != THttpState::httpWaitingBody) {
        return true;  // nobody waits for lines now
    }
    switch (next_) {
        case LineHandler::Header:
            GetHeaderLineNext(line, *length);
            break;
        case LineHandler::Body:
            GetBodyLineNext(reinterpret_cast<const std::uint8_t*>(line.data()), line.size());
            break;
        case LineHandler::None:
            SetReady();
            break;
    }
    return true;
}

void THttpCli::processBody() {
    if (request_ == THttpRequest::httpHEAD) {
        buffer_.clear();
        socket_.abort();
        return;
    }
    const std::int64_t pending = static_cast<std::int64_t>(buffer_.size());
    std::int64_t count = pending;
    if (contentLength_ != -1 && rcvdCount_ + pending > contentLength_) {
        count = contentLength_ - rcvdCount_;
    }
    const std::uint8_t* data = buffer_.data();
    buffer_.consume(static_cast<std::size_t>(count));
    GetBodyLineNext(data, static_cast<std::size_t>(count));
    if (state_ != THttpState::httpBodyReceived) return;
    if (followingLocation_) {
        StartRelocation();
    } else {
        SetReady();
    }
}

void THttpCli::GetHeaderLineNext(const std::string& line, std::size_t rawLength) {
    if (headerLineCount_ == 0) {
        headerBegun_ = true;
    } else if (headerLineCount_ == -1) {
        headerLineCount_ = 0;
    }
    ++headerLineCount_;
    if (headerLineCount_ == 1 && lowerCase(line.substr(0, 6)) == "<html>") {
        // A bare page without status line or header. It keeps its line end,
        // so the document arrives as it was sent.
        if (contentType_.empty()) contentType_ = "text/html";
        StateChange(THttpState::httpWaitingBody);
        next_ = LineHandler::Body;
        headerBegun_ = false;
        if (OnHeaderEnd) OnHeaderEnd(*this);
        std::string raw = line + (rawLength > line.size() + 1 ? "\r\n" : "\n");
        GetBodyLineNext(reinterpret_cast<const std::uint8_t*>(raw.data()), raw.size());
        return;
    }
    if (line.empty()) {
        headerEnd();
        return;
    }
    rcvdHeader_.push_back(line);
    if (headerLineCount_ == 1) {
        statusLine(line);
    } else if (line.find(':') != std::string::npos) {
        headerField(line);
    }
}

void THttpCli::statusLine(const std::string& line) {
    if (line.rfind("HTTP/1.0", 0) != 0 && line.rfind("HTTP/1.1", 0) != 0) return;
    responseVersion_ = line.substr(5, 3);
    const auto code = parseDecimalInt32(line.size() > 9 ? line.substr(9, 3) : std::string());
    if (!code) throw BadStatusLine("status code is not a number: " + line);
    statusCode_ = *code;
    reasonPhrase_ = line.size() > 13 ? line.substr(13) : std::string();
}

void THttpCli::headerField(const std::string& line) {
    const auto colon = line.find(':');
    const std::string name = lowerCase(line.substr(0, colon));
    const std::string value =
        line.substr(std::min(line.find_first_not_of(' ', colon + 1), line.size()));
    if (name == "location") {
        relocationHeader(value);
    } else if (name == "content-length") {
        const auto length = parseDecimalInt32(trimmed(value));
        // A negative length is no length: the body then runs to the close.
        contentLength_ = length && *length >= 0 ? *length : -1;
    } else if (name == "transfer-encoding") {
        transferEncoding_ = value;
    } else if (name == "content-type") {
        contentType_ = lowerCase(value);
    } else if (name == "connection" || name == "proxy-connection") {
        const std::string mode = lowerCase(std::string(trimmed(value)));
        if (mode == "close") closeAfterResponse_ = true;
        if (mode == "keep-alive") closeAfterResponse_ = false;
    }
}

void THttpCli::headerEnd() {
    if (responseVersion_ == "1.1" && statusCode_ == 100) {
        // An interim answer: the real status line comes next.
        rcvdHeader_.clear();
        headerLineCount_ = -1;
        return;
    }
    headerBegun_ = false;
    if (OnHeaderEnd) OnHeaderEnd(*this);
    if (state_ == THttpState::httpReady) {
        buffer_.clear();
        return;
    }
    const bool noBodyStatus = statusCode_ < 200 || statusCode_ == 204 || statusCode_ == 301 ||
                              statusCode_ == 302 || statusCode_ == 304;
    const bool hasBody = (contentLength_ != -1 || !noBodyStatus) && contentLength_ != 0 &&
                         request_ != THttpRequest::httpHEAD;
    if (hasBody) {
        docName_ = docNameForContent(docName_, contentType_);
        StateChange(THttpState::httpWaitingBody);
        next_ = LineHandler::Body;
        if (buffer_.size() > 0) processBody();
    } else if (followingLocation_) {
        StartRelocation();
    } else if (!closeAfterResponse_) {
        SetReady();
    } else {
        socket_.closeDelayed();
    }
}

void THttpCli::GetBodyLineNext(const std::uint8_t* data, std::size_t size) {
    if (bodyDataCount_ == 0) {
        chunks_.reset();
        if (OnDocBegin) OnDocBegin(*this);
    }
    ++bodyDataCount_;
    if (transferEncoding_ != "chunked") {
        if (size > 0) store(data, size);
        if (rcvdCount_ != contentLength_) return;
    } else {
        chunks_.feed(data, size,
                     [this](const std::uint8_t* piece, std::size_t n) { store(piece, n); });
        if (!chunks_.done()) return;
    }
    endDocument();
    if (closeAfterResponse_) {
        socket_.closeDelayed();
    } else if (!followingLocation_) {
        SetReady();
    }
}

void THttpCli::store(const std::uint8_t* data, std::size_t size) {
    rcvdCount_ += static_cast<std::int64_t>(size);
    if (RcvdStream != nullptr) RcvdStream->write(data, size);
    if (OnDocData) OnDocData(*this, data, size);
}

void THttpCli::endDocument() {
    bodyDataCount_ = 0;
    next_ = LineHandler::None;
    StateChange(THttpState::httpBodyReceived);
    if (OnDocEnd) OnDocEnd(*this);
}
