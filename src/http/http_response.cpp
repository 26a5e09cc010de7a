// The response: what arrives is fed to the parser, and its events become the
// client's states and document events.
#include <array>

#include "http/doc_name.h"
#include "http/http_cli.h"

namespace {

using Kind = ResponseEvent::Kind;

}  // namespace

void THttpCli::socketDataAvailable() {
    noteActivity();
    // A handler that runs the loop meets no bytes of its own response inside
    // itself; they wait in the socket for the outer reading to go on.
    if (reading_) return;
    std::array<std::uint8_t, ResponseParser::kMaxLine> received;
    const std::size_t came = socket_.receive(received.data(), received.size());
    if (came == 0) return;
    readResponse(std::string_view(reinterpret_cast<const char*>(received.data()), came));
}

// Bytes after the end of a response belong to none and are dropped.
void THttpCli::readResponse(std::string_view input) {
    struct Reading {
        bool& flag;
        explicit Reading(bool& f) : flag(f) { flag = true; }
        ~Reading() { flag = false; }
    } reading(reading_);
    const std::uint32_t serial = requestSerial_;
    for (;;) {
        const ResponseEvent event = parser_.next(input);
        if (event.kind == Kind::NeedMore) return;
        onEvent(event);
        if (serial != requestSerial_) return;  // the request ended inside a handler
    }
}

void THttpCli::onEvent(const ResponseEvent& event) {
    switch (event.kind) {
        case Kind::StatusLine:
        case Kind::HeaderLine:
            break;  // the header is taken whole at its end
        case Kind::Relocation:
            relocationHeader(std::string(event.text));
            break;
        case Kind::HeaderEnd:
            headerEnd();
            break;
        case Kind::DocBegin:
            callOut(OnDocBegin);
            break;
        case Kind::Data:
            store(event.text);
            break;
        case Kind::DocEnd:
            endDocument();
            break;
        case Kind::Complete:
            responseComplete();
            break;
        case Kind::Failure:
            responseFailed(std::string(event.text));
            break;
        case Kind::NeedMore:
            break;
    }
}

// The final response's header: nothing of an interim one before it.
void THttpCli::headerEnd() {
    head_ = parser_.head();
    if (head_.connection == ResponseHead::Connection::Close) closeAfterResponse_ = true;
    if (head_.connection == ResponseHead::Connection::KeepAlive) closeAfterResponse_ = false;
    if (parser_.expectsBody()) doc_.name = docNameForContent(doc_.name, head_.contentType);
    callOut(OnHeaderEnd);
    if (parser_.expectsBody() && state_ != THttpState::httpReady) {
        StateChange(THttpState::httpWaitingBody);
    }
}

void THttpCli::store(std::string_view data) {
    const auto* bytes = reinterpret_cast<const std::uint8_t*>(data.data());
    doc_.received += static_cast<std::int64_t>(data.size());
    if (RcvdStream != nullptr) {
        try {
            RcvdStream->write(bytes, data.size());
        } catch (const std::exception& error) {
            // The socket drops the connection for it; the close then ends
            // the document, and the request fails with this reason.
            if (doc_.storeFailure.empty()) doc_.storeFailure = error.what();
            throw;
        }
    }
    callOut(OnDocData, bytes, data.size());
}

void THttpCli::endDocument() {
    doc_.whole = parser_.documentWhole() && doc_.storeFailure.empty();
    StateChange(THttpState::httpBodyReceived);
    callOut(OnDocEnd);
}

bool THttpCli::DocIsAnswer() const {
    return doc_.whole && head_.statusCode >= 200 && head_.statusCode < 300 && !relocating();
}

void THttpCli::responseComplete() {
    if (!doc_.storeFailure.empty()) {
        responseFailed({});
        return;
    }
    if (relocating()) {
        StartRelocation();
    } else if (closeAfterResponse_ && connection_) {
        socket_.closeDelayed();  // the close ends the request
    } else {
        SetReady();
    }
}

void THttpCli::responseFailed(const std::string& reason) {
    // A relocation's own body, cut by the close, is not needed.
    const std::string& storeFailure = doc_.storeFailure;
    if (relocating() && !connection_ && storeFailure.empty()) {
        StartRelocation();
        return;
    }
    fail(kFailedStatus,
         storeFailure.empty() ? reason : "the document could not be stored: " + storeFailure);
    finishNow();
}
