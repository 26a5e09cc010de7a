// The connection closing, and following a Location to the next document.
#include "base/text.h"
#include "http/doc_name.h"
#include "http/http_cli.h"
#include "http/url_parts.h"

void THttpCli::socketSessionClosed(std::uint16_t error) {
    if (staleCloses_ > 0) {
        --staleCloses_;
        return;
    }
    socketOpen_ = false;
    try {
        if (closeToLocation_) {
            LocationSessionClosed();
        } else {
            sessionClosed(error);
        }
    } catch (...) {
        // A handler failed on the last word of the connection: nothing will
        // follow it, so the request ends here.
        if (state_ != THttpState::httpReady) finishNow();
    }
}

void THttpCli::sessionClosed(std::uint16_t error) {
    if (error != 0) requestDoneError_ = error;
    connected_ = false;
    if (loginPending_) return;  // the posted request connects anew
    if (!parser_.over()) {
        if (reused_ && !retried_ && parser_.receivedNothing()) {
            retryOnNewConnection();
            return;
        }
        parser_.close();
        readResponse({});
        return;
    }
    if (state_ != THttpState::httpReady) SetReady();
}

// Servers close idle connections whenever they like: a request that met a
// kept connection closed before any byte of its answer goes out once more.
void THttpCli::retryOnNewConnection() {
    retried_ = true;
    resetResponse();
    StateChange(THttpState::httpNotConnected);
    Login();
}

void THttpCli::relocationHeader(const std::string& value) {
    if (!FollowRelocation) return;
    followingLocation_ = true;
    if (!value.empty() && value.front() == '/') {
        path_ = value;
        location_ = "http://" + hostName_ + value;
    } else if (!startsWithIgnoringAsciiCase(value, "http://") &&
               !startsWithIgnoringAsciiCase(value, "https://")) {
        const std::string current = path_.substr(0, path_.find('?'));
        const auto cut = current.find_last_of("/:");
        path_ = (cut == std::string::npos ? std::string() : current.substr(0, cut + 1)) + value;
        location_ = "http://" + hostName_ + path_;
    } else {
        const UrlParts parts = parseUrl(value, path_);
        hostName_ = parts.host;
        path_ = parts.path;
        port_ = parts.port.empty() ? "80" : parts.port;
        protocol_ = parts.protocol;
        if (!parts.protocol.empty() && !parts.host.empty()) {
            targetHost_ = parts.host;
            location_ = parts.protocol + "://" + parts.host + parts.path;
            if (path_.empty()) path_ = "/";
        }
    }
}

// One more relocation in this request; past the limit the request fails.
bool THttpCli::countRelocation() {
    if (++relocations_ <= kMaxRelocations) return true;
    fail(404, "too many relocations (more than " + std::to_string(kMaxRelocations) + ")");
    finishNow();
    return false;
}

void THttpCli::StartRelocation() {
    if (!socketOpen_) {
        // The close ended the response: what it brought is cut out again.
        if (countRelocation()) LocationSessionClosed();
        return;
    }
    if (!countRelocation()) return;
    rcvdCount_ = 0;
    if (socket_.connected() && connectionMatchesTarget() && !closeAfterResponse_) {
        followingLocation_ = false;
        retried_ = false;
        callOut(OnLocationChange);
        const std::string location = location_;
        InternalClear();
        location_ = location;
        docName_ = path_;
        AdjustDocName();
        resetResponse();
        loginPending_ = true;
        Post([this] { Login(); });
        return;
    }
    closeToLocation_ = true;
    socket_.closeDelayed();
}

void THttpCli::LocationSessionClosed() {
    const UrlParts parts = parseUrl(location_.substr(0, location_.find('#')), path_);
    docName_ = docNameOfPath(parts.path);
    connected_ = false;
    followingLocation_ = false;
    closeToLocation_ = false;
    retried_ = false;
    callOut(OnLocationChange);
    rcvdHeader_.clear();
    resetResponse();
    contentLength_ = -1;
    contentType_.clear();
    statusCode_ = 0;
    transferEncoding_.clear();
    if (RcvdStream != nullptr && rcvdCount_ > 0) {
        // The relocation's own body does not belong to the document asked for.
        try {
            RcvdStream->shrinkBy(static_cast<std::uint64_t>(rcvdCount_));
        } catch (const std::exception&) {
            // A stream that cannot shrink keeps it; the next document follows.
        }
    }
    rcvdCount_ = 0;
    loginPending_ = true;
    Post([this] { Login(); });
}
