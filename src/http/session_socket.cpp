#include "http/session_socket.h"

void SessionSocket::close() {
    if (phase_ == Phase::Connecting || phase_ == Phase::Connected) {
        endSession(0, Shutdown::Orderly);
    }
}

void SessionSocket::closeDelayed() {
    closeAsked_ = true;  // no further offer before the close runs
    post([this, session = session_] {
        if (session == session_) close();
    });
}

void SessionSocket::abort() {
    if (phase_ == Phase::Connecting || phase_ == Phase::Connected) {
        endSession(0, Shutdown::Abortive);
    }
}

void SessionSocket::abortAfterHandlerError() {
    if (phase_ == Phase::Ending) {
        closeError_ = 0;  // the close on its way reports it
        return;
    }
    if (phase_ == Phase::Idle) ++session_;  // nothing was open: still one close
    endSession(0, Shutdown::Abortive);
}

void SessionSocket::failConnect(std::uint16_t code) {
    lastError_ = code;
    release(Shutdown::Abortive);
    phase_ = Phase::Ending;
    closeError_ = code;
    post([this, session = session_, code] {
        if (session != session_ || phase_ != Phase::Ending) return;
        notifySessionConnected(code);
        if (session == session_ && phase_ == Phase::Ending) postClosure();
    });
}

void SessionSocket::beginConnecting() {
    phase_ = Phase::Connecting;
    ++session_;
    peerClosed_ = false;
    closeAsked_ = false;
    peerError_ = 0;
    dataPosted_ = false;
}

void SessionSocket::connectionMade() {
    if (phase_ != Phase::Connecting) return;
    phase_ = Phase::Connected;
    post([this, session = session_] {
        if (current(session)) notifySessionConnected(0);
    });
}

bool SessionSocket::current(std::uint64_t session) const {
    return session == session_ && phase_ == Phase::Connected;
}

bool SessionSocket::wantsData(std::uint64_t session) const {
    return current(session) && !closeAsked_ && unread() > 0;
}

void SessionSocket::postData() {
    if (dataPosted_ || phase_ != Phase::Connected) return;
    dataPosted_ = true;
    post([this, session = session_] {
        if (session == session_) deliverData();
    });
}

void SessionSocket::onPeerClosed() {
    if (phase_ != Phase::Connected || peerClosed_) return;
    peerClosed_ = true;
    // The bytes that came before the close are offered before it is reported.
    postData();
}

void SessionSocket::deliverData() {
    dataPosted_ = false;
    // A handler that runs the loop itself must not be offered the same bytes
    // again inside its own notification; the outer offer goes on afterwards.
    if (!current(session_) || delivering_) return;
    const std::uint64_t session = session_;
    bool tookNothing = false;
    delivering_ = true;
    for (int offer = 0; offer < kOffersPerTurn && wantsData(session); ++offer) {
        const std::uint64_t before = taken_;
        notifyDataAvailable();
        if (taken_ == before) {
            tookNothing = true;  // it waits for something else; no use spinning
            break;
        }
    }
    delivering_ = false;
    if (!current(session) || closeAsked_) return;
    if (!tookNothing && unread() > 0) {
        // Bytes the socket already holds raise no new notification of the system.
        postData();
    } else if (peerClosed_) {
        endSession(peerError_, Shutdown::Abortive);
    }
}

void SessionSocket::endSession(std::uint16_t code, Shutdown how) {
    release(how);
    phase_ = Phase::Ending;
    closeError_ = code;
    postClosure();
}

void SessionSocket::postClosure() {
    post([this, session = session_] {
        if (session != session_ || phase_ != Phase::Ending) return;
        phase_ = Phase::Idle;
        notifySessionClosed(closeError_);
    });
}
