// Starting a request, waiting for it, ending and aborting it.
#include "http/http_cli.h"

#include "http/doc_name.h"
#include "http/url_parts.h"

THttpCli::THttpCli(std::string name, HttpSocket& socket, MessagePump& pump)
    : name_(std::move(name)), socket_(socket), pump_(pump) {
    socket_.setHandler(this);
    idleTimer_ = pump_.createTimer([this] { idleTimeout(); });
    idleTimer_->setInterval(kIdleTimeoutMs);
}

THttpCli::~THttpCli() {
    alive_.reset();
    socket_.setHandler(nullptr);
    if (socketOpen_) socket_.abort();
}

void THttpCli::Get() {
    DoRequestAsync(THttpRequest::httpGET);
    waitUntilReady();
    if (statusCode_ >= 400 && statusCode_ != 401 && statusCode_ != 407) {
        throw EHttpException(reasonPhrase_, static_cast<std::uint16_t>(statusCode_));
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

void THttpCli::DoRequestAsync(THttpRequest request) {
    if (state_ != THttpState::httpReady) {
        throw EHttpException("HTTP component " + name_ + " is busy", 1);
    }
    if (RequestVer != "1.0" && RequestVer != "1.1") {
        throw EHttpException("Insupported HTTP version", 5);
    }
    ++requestSerial_;
    request_ = request;
    InternalClear();
    relocations_ = 0;
    retried_ = false;
    loginPending_ = false;
    storeFailure_.clear();
    resetResponse();
    setTarget(URL);
    idleTimer_->setEnabled(false);
    idleTimer_->setEnabled(true);
    if (socket_.connected() && connectionMatchesTarget()) {
        Login();
        return;
    }
    dropConnection();
    StateChange(THttpState::httpNotConnected);
    Login();
}

void THttpCli::InternalClear() {
    rcvdHeader_.clear();
    requestDoneError_ = 0;
    docName_.clear();
    statusCode_ = 0;
    rcvdCount_ = 0;
    docOpen_ = false;
    docWhole_ = false;
    contentLength_ = -1;
    contentType_.clear();
    transferEncoding_.clear();
    location_ = URL;
    closeAfterResponse_ = RequestVer == "1.0";
}

void THttpCli::setTarget(const std::string& url) {
    const UrlParts parts = parseUrl(url, path_);
    targetHost_ = parts.host;
    protocol_ = parts.protocol.empty() ? "http" : parts.protocol;
    path_ = parts.path.empty() ? "/" : parts.path;
    docName_ = parts.path;
    AdjustDocName();
    hostName_ = parts.host;
    port_ = parts.port.empty() ? "80" : parts.port;
}

void THttpCli::AdjustDocName() {
    docName_ = docNameOfPath(docName_);
}

bool THttpCli::connectionMatchesTarget() const {
    return hostName_ == connectedHost_ && port_ == connectedPort_ &&
           protocol_ == connectedProtocol_;
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
        Post([this, request = request_, error = requestDoneError_] {
            callOut(OnRequestDone, request, error);
        });
    });
}

// Drops the open connection; its close, when it comes, belongs to no request.
void THttpCli::dropConnection() {
    if (socketOpen_) {
        socketOpen_ = false;
        ++staleCloses_;
        socket_.abort();
    }
    connected_ = false;
}

// Whatever arrives from here on belongs to no response until one is started.
void THttpCli::resetResponse() {
    parser_ = ResponseParser();
}

// Ends the running request at once: a document that has begun ends, the
// connection is dropped, and nothing posted for the request runs any more.
void THttpCli::finishNow() {
    followingLocation_ = false;
    closeToLocation_ = false;
    loginPending_ = false;
    resetResponse();
    dropConnection();
    ++requestSerial_;
    idleTimer_->setEnabled(false);
    if (docOpen_) {
        docOpen_ = false;
        docWhole_ = false;
        callOut(OnDocEnd);
    }
    StateChange(THttpState::httpReady);
}

void THttpCli::fail(int statusCode, const std::string& reason) {
    statusCode_ = statusCode;
    reasonPhrase_ = reason;
    responseVersion_.clear();  // the client's own failure, not the server's answer
}

void THttpCli::Abort() {
    if (state_ != THttpState::httpReady) {
        const bool resolving = state_ == THttpState::httpDnsLookup;
        StateChange(THttpState::httpAborting);
        if (resolving) socket_.cancelResolve();
        fail(404, "Connection aborted on request");
        requestDoneError_ = 3;
        finishNow();
        return;
    }
    dropConnection();
    fail(200, "OK");
    requestDoneError_ = 0;
    callOut(OnRequestDone, request_, requestDoneError_);
}

void THttpCli::noteActivity() {
    if (state_ == THttpState::httpReady || inHandler_ > 0) return;
    idleTimer_->setEnabled(false);
    idleTimer_->setEnabled(true);
}

void THttpCli::idleTimeout() {
    if (inHandler_ > 0) return;
    if (state_ == THttpState::httpReady) {
        idleTimer_->setEnabled(false);
        return;
    }
    if (state_ == THttpState::httpDnsLookup) socket_.cancelResolve();
    fail(404,
         "timed out: the server sent nothing for " + std::to_string(kIdleTimeoutMs / 1000) + " s");
    requestDoneError_ = kTimedOutError;
    finishNow();
}
