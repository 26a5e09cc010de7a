#include "http/http_socket.h"

template <typename Call>
void HttpSocket::guarded(Call call) {
    if (handler_ == nullptr) return;
    try {
        call(*handler_);
    } catch (...) {
        abortAfterHandlerError();
    }
}

void HttpSocket::notifyDnsLookupDone(std::uint16_t error, const std::string& address) {
    guarded([&](HttpSocketHandler& h) { h.socketDnsLookupDone(error, address); });
}

void HttpSocket::notifySessionConnected(std::uint16_t error) {
    guarded([&](HttpSocketHandler& h) { h.socketSessionConnected(error); });
}

void HttpSocket::notifyDataAvailable() {
    guarded([&](HttpSocketHandler& h) { h.socketDataAvailable(); });
}

void HttpSocket::notifySessionClosed(std::uint16_t error) {
    if (handler_ == nullptr) return;
    // The close is the last word on a connection: an error here has nowhere
    // left to go, and aborting again would only report another close.
    try {
        handler_->socketSessionClosed(error);
    } catch (...) {
    }
}
