// Name resolution, the connection and the request that goes out on it.
#include "base/text.h"
#include "http/http_cli.h"
#include "http/url_parts.h"

void THttpCli::Login() {
    phase_ = Phase::Plain;
    // A relocation's address too: nothing of it goes out.
    if (holdsControlCharacter(target_.hostLine + target_.host + target_.port + target_.path)) {
        dropConnection();
        fail(kFailedStatus, "the address holds a control character");
        SetReady();
        return;
    }
    if (socket_.connected()) {
        phase_ = Phase::OnKeptConnection;
        connected();
        return;
    }
    dropConnection();  // one the server closed, whose close is still on its way
    StateChange(THttpState::httpDnsLookup);
    try {
        socket_.resolve(target_.host);
    } catch (const std::exception& error) {
        fail(kFailedStatus, error.what());
        SetReady();
    }
}

void THttpCli::socketDnsLookupDone(std::uint16_t error, const std::string& address) {
    noteActivity();
    if (state_ != THttpState::httpDnsLookup) return;
    if (error != 0) {
        requestDoneError_ = error;
        fail(kFailedStatus, "can't resolve hostname to IP address");
        sessionClosed(error);
        return;
    }
    StateChange(THttpState::httpDnsLookupDone);
    if (target_.protocol != "http") {
        requestDoneError_ = socket_.lastError();
        fail(kUnknownProtocolStatus, "Protocol \"" + target_.protocol + "\" not implemented");
        socket_.close();
        sessionClosed(0);
        return;
    }
    connectTo(address);
}

void THttpCli::connectTo(const std::string& address) {
    try {
        socket_.connectTo(address, target_.port, LocalAddr);
        connection_ = target_;
    } catch (const SocketError& failure) {
        requestDoneError_ = failure.code();
        fail(kFailedStatus, "can't connect: " + std::string(failure.what()) + " (Error #" +
                                decimal(failure.code()) + ")");
        socket_.close();
        sessionClosed(failure.code());
    }
}

void THttpCli::socketSessionConnected(std::uint16_t error) {
    noteActivity();
    if (state_ != THttpState::httpDnsLookupDone) return;
    if (error != 0) {
        // The socket reports the close next, which ends the request.
        requestDoneError_ = error;
        fail(kFailedStatus, socket_.errorText(error) + " (Error #" + decimal(error) + ")");
        return;
    }
    connected();
}

void THttpCli::connected() {
    StateChange(THttpState::httpConnected);
    parser_.start();
    StateChange(THttpState::httpWaitingHeader);
    try {
        socket_.send(requestHeader());
    } catch (const std::exception&) {
        // The close that follows ends the request.
        socket_.close();
    }
}

std::string THttpCli::requestHeader() const {
    std::string header = "GET " + target_.path + " HTTP/" + RequestVer + "\r\n";
    const auto line = [&header](const char* name, const std::string& value) {
        if (!value.empty()) header += name + value + "\r\n";
    };
    line("From: ", Sender);
    line("Accept: ", Accept);
    line("Referer: ", Reference);
    line("Connection: ", Connection);
    line("Proxy-Connection: ", ProxyConnection);
    line("Accept-Language: ", AcceptLanguage);
    line("User-Agent: ", Agent);
    const std::string& port = target_.port;
    header += "Host: " + (port == "80" ? target_.hostLine : target_.hostLine + ":" + port) + "\r\n";
    if (NoCache) header += "Pragma: no-cache\r\n";
    return header + "\r\n";
}
