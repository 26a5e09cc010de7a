// Starting a request, waiting for it, ending and aborting it.
#include "http/http_cli.h"

#include <tuple>

#include "http/doc_name.h"
#include "http/url_parts.h"

namespace {

// Answers that ask for credentials go back to the caller like any other.
bool raisesError(int statusCode) {
    return statusCode >= 400 && statusCode != 401 && statusCode != 407;
}

}  // namespace

bool THttpCli::Target::sameServer(const Target& other) const {
    return std::tie(protocol, host, port) == std::tie(other.protocol, other.host, other.port);
}

THttpCli::THttpCli(std::string name, HttpSocket& socket, MessagePump& pump)
    : name_(std::move(name)), socket_(socket), pump_(pump) {
    socket_.setHandler(this);
    idleTimer_ = pump_.createTimer([this] { idleTimeout(); });
    idleTimer_->setInterval(kIdleTimeoutMs);
}

THttpCli::~THttpCli() {
    alive_.reset();
    socket_.setHandler(nullptr);
    if (connection_) socket_.abort();
}

void THttpCli::Get() {
    DoRequestAsync();
    waitUntilReady();
    if (raisesError(head_.statusCode)) {
        throw EHttpException(head_.reasonPhrase, static_cast<std::uint16_t>(head_.statusCode));
    }
}

void THttpCli::waitUntilReady() {
    while (state_ != THttpState::httpReady) {
        pump_.waitNext(1000);
        pump_.processPending();
        if (state_ != THttpState::httpReady && pump_.terminating()) {
            Abort();
            return;
        }
    }
}

void THttpCli::DoRequestAsync() {
    if (state_ != THttpState::httpReady) {
        throw EHttpException("HTTP component " + name_ + " is busy", kBusyError);
    }
    if (RequestVer != "1.0" && RequestVer != "1.1") {
        throw EHttpException("Insupported HTTP version", kVersionError);
    }
    ++requestSerial_;
    phase_ = Phase::Plain;
    relocations_ = 0;
    setTarget(URL);
    clearAnswer(URL);
    resetResponse();
    restartIdleTimer();
    if (!connectionServesTarget()) {
        dropConnection();
        StateChange(THttpState::httpNotConnected);
    }
    Login();
}

// A relative address ("./x") is taken against the path of the request before.
void THttpCli::setTarget(const std::string& url) {
    const UrlParts parts = parseUrl(url, target_.path);
    target_.protocol = parts.protocol.empty() ? "http" : parts.protocol;
    target_.hostLine = parts.host;
    target_.host = parts.host;
    target_.port = parts.port.empty() ? "80" : parts.port;
    target_.path = parts.path.empty() ? "/" : parts.path;
}

// A request goes out afresh: nothing of the last answer stays.
void THttpCli::clearAnswer(std::string location) {
    clearHead();
    doc_ = Document();
    doc_.location = std::move(location);
    doc_.name = docNameOfPath(target_.path);
    requestDoneError_ = 0;
    closeAfterResponse_ = RequestVer == "1.0";
}

// The status text stays readable until a new status line or a failure
// replaces it; the rest of the head goes.
void THttpCli::clearHead() {
    ResponseHead cleared;
    cleared.version = std::move(head_.version);
    cleared.reasonPhrase = std::move(head_.reasonPhrase);
    head_ = std::move(cleared);
}

bool THttpCli::connectionServesTarget() const {
    return socket_.connected() && connection_ && connection_->sameServer(target_);
}

void THttpCli::StateChange(THttpState state) {
    if (state == state_) return;
    state_ = state;
    callOut(OnStateChange);
}

void THttpCli::Post(std::function<void()> call) {
    pump_.post([this, alive = std::weak_ptr<bool>(alive_), serial = requestSerial_,
                call = std::move(call)] {
        if (alive.expired() || serial != requestSerial_) return;
        call();
    });
}

void THttpCli::SetReady() {
    // The document may complete and the connection close in one go: the
    // request ends once, whichever comes first.
    Post([this] {
        if (state_ == THttpState::httpReady) return;
        idleTimer_->setEnabled(false);
        StateChange(THttpState::httpReady);
        Post([this, error = requestDoneError_] {
            callOut(OnRequestDone, THttpRequest::httpGET, error);
        });
    });
}

// Drops the open connection; its close, when it comes, belongs to no request.
void THttpCli::dropConnection() {
    if (!connection_) return;
    connection_.reset();
    ++staleCloses_;
    socket_.abort();
}

// Whatever arrives from here on belongs to no response until one is started.
void THttpCli::resetResponse() {
    parser_ = ResponseParser();
}

// Ends the running request at once: a document that has begun ends, the
// connection is dropped, and nothing posted for the request runs any more.
void THttpCli::finishNow() {
    const bool documentOpen = parser_.documentOpen();
    phase_ = Phase::Plain;
    resetResponse();
    dropConnection();
    ++requestSerial_;
    idleTimer_->setEnabled(false);
    if (documentOpen) {
        doc_.whole = false;
        callOut(OnDocEnd);
    }
    StateChange(THttpState::httpReady);
}

void THttpCli::fail(int statusCode, const std::string& reason) {
    head_.statusCode = statusCode;
    head_.reasonPhrase = reason;
    head_.version.clear();  // the client's own failure, not the server's answer
}

void THttpCli::Abort() {
    if (state_ != THttpState::httpReady) {
        const bool resolving = state_ == THttpState::httpDnsLookup;
        StateChange(THttpState::httpAborting);
        if (resolving) socket_.cancelResolve();
        fail(kFailedStatus, "Connection aborted on request");
        requestDoneError_ = kAbortedError;
        finishNow();
        return;
    }
    dropConnection();
    fail(kIdleAbortStatus, "OK");
    requestDoneError_ = 0;
    callOut(OnRequestDone, THttpRequest::httpGET, requestDoneError_);
}

void THttpCli::restartIdleTimer() {
    idleTimer_->setEnabled(false);
    idleTimer_->setEnabled(true);
}

void THttpCli::noteActivity() {
    if (state_ == THttpState::httpReady || inHandler_ > 0) return;
    restartIdleTimer();
}

void THttpCli::idleTimeout() {
    if (inHandler_ > 0) return;
    if (state_ == THttpState::httpReady) {
        idleTimer_->setEnabled(false);
        return;
    }
    if (state_ == THttpState::httpDnsLookup) socket_.cancelResolve();
    fail(kFailedStatus,
         "timed out: the server sent nothing for " + std::to_string(kIdleTimeoutMs / 1000) + " s");
    requestDoneError_ = kTimedOutError;
    finishNow();
}
