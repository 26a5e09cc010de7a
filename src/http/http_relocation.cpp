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
    connection_.reset();
    try {
        if (phase_ == Phase::ClosingToRelocate) {
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
    if (phase_ == Phase::RelocationPosted) return;  // the posted request connects anew
    if (!parser_.over()) {
        if (phase_ == Phase::OnKeptConnection && parser_.receivedNothing()) {
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
    phase_ = Phase::Plain;
    resetResponse();
    StateChange(THttpState::httpNotConnected);
    Login();
}

bool THttpCli::relocating() const {
    return phase_ == Phase::Relocated || phase_ == Phase::ClosingToRelocate;
}

void THttpCli::relocationHeader(const std::string& value) {
    if (!FollowRelocation) return;
    phase_ = Phase::Relocated;
    std::string& path = target_.path;
    if (!value.empty() && value.front() == '/') {
        path = value;
        doc_.location = "http://" + target_.host + value;
    } else if (!startsWithIgnoringAsciiCase(value, "http://") &&
               !startsWithIgnoringAsciiCase(value, "https://")) {
        const std::string current = path.substr(0, path.find('?'));
        const auto cut = current.find_last_of("/:");
        path = (cut == std::string::npos ? std::string() : current.substr(0, cut + 1)) + value;
        doc_.location = "http://" + target_.host + path;
    } else {
        const UrlParts parts = parseUrl(value, path);
        target_.host = parts.host;
        path = parts.path;
        target_.port = parts.port.empty() ? "80" : parts.port;
        target_.protocol = parts.protocol;
        if (!parts.protocol.empty() && !parts.host.empty()) {
            target_.hostLine = parts.host;
            doc_.location = parts.protocol + "://" + parts.host + parts.path;
            if (path.empty()) path = "/";
        }
    }
}

// One more relocation in this request; past the limit the request fails.
bool THttpCli::countRelocation() {
    if (++relocations_ <= kMaxRelocations) return true;
    fail(kFailedStatus, "too many relocations (more than " + std::to_string(kMaxRelocations) + ")");
    finishNow();
    return false;
}

void THttpCli::StartRelocation() {
    if (!connection_) {
        // The close ended the response: what it brought is cut out again.
        if (countRelocation()) LocationSessionClosed();
        return;
    }
    if (!countRelocation()) return;
    doc_.received = 0;
    if (connectionServesTarget() && !closeAfterResponse_) {
        relocateOnKeptConnection();
        return;
    }
    phase_ = Phase::ClosingToRelocate;
    socket_.closeDelayed();
}

void THttpCli::relocateOnKeptConnection() {
    phase_ = Phase::Plain;
    callOut(OnLocationChange);
    clearAnswer(doc_.location);
    resetResponse();
    phase_ = Phase::RelocationPosted;
    Post([this] { Login(); });
}

void THttpCli::LocationSessionClosed() {
    const std::string& location = doc_.location;
    doc_.name = docNameOfPath(parseUrl(location.substr(0, location.find('#')), target_.path).path);
    phase_ = Phase::Plain;
    callOut(OnLocationChange);
    clearHead();
    resetResponse();
    cutRelocationBody();
    phase_ = Phase::RelocationPosted;
    Post([this] { Login(); });
}

// The relocation's own body does not belong to the document asked for.
void THttpCli::cutRelocationBody() {
    if (RcvdStream != nullptr && doc_.received > 0) {
        try {
            RcvdStream->shrinkBy(static_cast<std::uint64_t>(doc_.received));
        } catch (const std::exception&) {
            // A stream that cannot shrink keeps it; the next document follows.
        }
    }
    doc_.received = 0;
}
