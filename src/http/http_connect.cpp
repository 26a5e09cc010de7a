// Name resolution, the connection and the request that goes out on it.
#include "base/text.h"
#include "http/http_cli.h"
#include "http/url_parts.h"

void THttpCli::Login() {
    closeToLocation_ = false;
    loginPending_ = false;
    // A relocation's address too: nothing of it goes out.
    if (holdsControlCharacter(targetHost_ + hostName_ + port_ + path_)) {
        dropConnection();
        fail(404, "the address holds a control character");
        SetReady();
        return;
    }
    reused_ = socket_.connected();
    if (reused_) {
        connected();
        return;
    }
    dropConnection();  // one the server closed, whose close is still on its way
    StateChange(THttpState::httpDnsLookup);
    try {
        socket_.resolve(hostName_);
    } catch (const std::exception& error) {
        fail(404, error.what());
        connected_ = false;
        SetReady();
    }
}

void THttpCli::socketDnsLookupDone(std::uint16_t error, const std::string& address) {
    noteActivity();
    if (state_ != THttpState::httpDnsLookup) return;
    if (error != 0) {
        requestDoneError_ = error;
        fail(404, "can't resolve hostname to IP address");
        sessionClosed(error);
        return;
    }
    StateChange(THttpState::httpDnsLookupDone);
    connectedHost_ = hostName_;
    connectedPort_ = port_;
    connectedProtocol_ = protocol_;
    if (protocol_ != "http") {
        requestDoneError_ = socket_.lastError();
        fail(501, "Protocol \"" + protocol_ + "\" not implemented");
        socket_.close();
        sessionClosed(0);
        return;
    }
    try {
        socket_.connectTo(address, port_, LocalAddr);
        socketOpen_ = true;
    } catch (const SocketError& failure) {
        requestDoneError_ = failure.code();
        fail(404, "can't connect: " + std::string(failure.what()) + " (Error #" +
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
        fail(404, socket_.errorText(error) + " (Error #" + decimal(error) + ")");
        return;
    }
    connected();
}

void THttpCli::connected() {
    followingLocation_ = false;
    connected_ = true;
    StateChange(THttpState::httpConnected);
    parser_.start(request_ == THttpRequest::httpHEAD);
    StateChange(THttpState::httpWaitingHeader);
    try {
        SendRequest();
    } catch (const std::exception&) {
        // The close that follows ends the request.
        socket_.close();
    }
}

void THttpCli::SendRequest() {
    socket_.send(requestHeader());
}

std::string THttpCli::requestHeader() const {
    std::string header = "GET " + path_ + " HTTP/" + RequestVer + "\r\n";
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
    header += "Host: " + (port_ == "80" ? targetHost_ : targetHost_ + ":" + port_) + "\r\n";
    if (NoCache) header += "Pragma: no-cache\r\n";
    return header + "\r\n";
}
