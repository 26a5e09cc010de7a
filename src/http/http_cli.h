#pragma once

#include <array>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "base/message_pump.h"
#include "base/timer.h"
#include "http/http_exception.h"
#include "http/http_socket.h"
#include "http/http_state.h"
#include "http/receive_stream.h"
#include "http/response_parser.h"

// The HTTP/1.0 GET client: an event-driven machine on a non-blocking socket
// that feeds what arrives to a ResponseParser and turns its events into the
// client's own. Get() turns it into a blocking call by running the message
// loop until the request (with every relocation it follows) has ended.
class THttpCli : private HttpSocketHandler {
  public:
    // The longest relocation chain one Get follows.
    static constexpr int kMaxRelocations = 20;
    // A request whose peer stays silent this long fails as "timed out"; time
    // spent in the client's own event handlers does not count.
    static constexpr std::uint32_t kIdleTimeoutMs = 60000;
    // RequestDoneError of a request that timed out.
    static constexpr std::uint16_t kTimedOutError = 10060;

    THttpCli(std::string name, HttpSocket& socket, MessagePump& pump);
    ~THttpCli() override;
    THttpCli(const THttpCli&) = delete;
    THttpCli& operator=(const THttpCli&) = delete;

    // Settings, as the update checks use them.
    std::string URL;
    std::string LocalAddr = "0.0.0.0";
    std::string Agent = "Mozilla";
    std::string Accept = "image/gif, image/x-xbitmap, image/jpeg, image/pjpeg, */*";
    std::string RequestVer = "1.0";
    bool FollowRelocation = true;
    bool NoCache = false;
    std::string Sender;
    std::string Reference;
    std::string Connection;
    std::string ProxyConnection;
    std::string AcceptLanguage;

    // Where body bytes go; set and cleared by the caller, never owned.
    ReceiveStream* RcvdStream = nullptr;

    std::function<void(THttpCli&)> OnDocBegin;
    std::function<void(THttpCli&)> OnDocEnd;
    std::function<void(THttpCli&, const std::uint8_t*, std::size_t)> OnDocData;
    std::function<void(THttpCli&)> OnStateChange;
    std::function<void(THttpCli&)> OnHeaderEnd;
    std::function<void(THttpCli&)> OnLocationChange;
    std::function<void(THttpCli&, THttpRequest, std::uint16_t)> OnRequestDone;

    // Runs one GET for URL to its end. Throws EHttpException when it ended with
    // an error status (400 and above but 401 and 407) or failed.
    void Get();
    // Ends a running request ("Connection aborted on request"); with none
    // running it drops the connection and reports OK.
    void Abort();

    const std::string& name() const { return name_; }
    THttpState State() const { return state_; }
    int StatusCode() const { return statusCode_; }
    const std::string& ReasonPhrase() const { return reasonPhrase_; }
    const std::string& ResponseVersion() const { return responseVersion_; }
    int ContentLength() const { return contentLength_; }
    const std::string& ContentType() const { return contentType_; }
    const std::string& TransferEncoding() const { return transferEncoding_; }
    std::int64_t RcvdCount() const { return rcvdCount_; }
    const std::string& DocName() const { return docName_; }
    const std::string& Location() const { return location_; }
    const std::vector<std::string>& RcvdHeader() const { return rcvdHeader_; }
    std::uint16_t RequestDoneError() const { return requestDoneError_; }
    // Inside OnDocEnd: whether the document that ends is the answer asked for,
    // a 2xx response received whole, not the body of a relocation or an error page.
    bool DocIsAnswer() const;

  private:
    // Starting and ending requests.
    void DoRequestAsync(THttpRequest request);
    void InternalClear();
    void setTarget(const std::string& url);
    void SetReady();
    void StateChange(THttpState state);
    void AdjustDocName();
    void Post(std::function<void()> call);
    void waitUntilReady();
    void resetResponse();
    void finishNow();
    void dropConnection();
    void fail(int statusCode, const std::string& reason);

    // Connecting and the request.
    void Login();
    void connected();
    void SendRequest();
    std::string requestHeader() const;

    // The response, as the parser reports it.
    void readResponse(std::string_view input);
    void onEvent(const ResponseEvent& event);
    void headerEnd();
    void store(std::string_view data);
    void endDocument();
    void responseComplete();
    void responseFailed(const std::string& reason);
    // Calls one of the client's event handlers, with the stall limit paused:
    // a handler that keeps a box open is not the network being silent.
    template <typename Handler, typename... Args>
    void callOut(const Handler& handler, Args&&... args);

    // Closing and relocation.
    void sessionClosed(std::uint16_t error);
    void retryOnNewConnection();
    void relocationHeader(const std::string& value);
    bool countRelocation();
    void StartRelocation();
    void LocationSessionClosed();
    bool connectionMatchesTarget() const;

    // Socket notifications.
    void socketDnsLookupDone(std::uint16_t error, const std::string& address) override;
    void socketSessionConnected(std::uint16_t error) override;
    void socketDataAvailable() override;
    void socketSessionClosed(std::uint16_t error) override;
    void noteActivity();
    void idleTimeout();

    std::string name_;
    HttpSocket& socket_;
    MessagePump& pump_;
    std::unique_ptr<Timer> idleTimer_;
    // Posted calls check both, so that none runs after the client is gone or
    // for a request that has already ended.
    std::shared_ptr<bool> alive_ = std::make_shared<bool>(true);
    std::uint32_t requestSerial_ = 0;

    THttpState state_ = THttpState::httpReady;
    THttpRequest request_ = THttpRequest::httpGET;

    // Response state.
    int statusCode_ = 0;
    std::string reasonPhrase_;
    std::string responseVersion_;
    int contentLength_ = -1;
    std::string contentType_;
    std::string transferEncoding_;
    std::int64_t rcvdCount_ = 0;
    std::string docName_;
    std::string location_;
    std::vector<std::string> rcvdHeader_;
    std::uint16_t requestDoneError_ = 0;

    // The target of the request, and the one of the open connection.
    std::string protocol_;
    std::string path_;
    std::string targetHost_;  // for the Host line
    std::string hostName_;    // to connect to
    std::string port_;
    std::string connectedHost_;
    std::string connectedPort_;
    std::string connectedProtocol_;

    // A connection was started and its close has not been heard yet.
    bool socketOpen_ = false;
    // Closes still to come from connections this client has dropped.
    int staleCloses_ = 0;
    bool closeToLocation_ = false;
    // A relocation's next request is posted and owns the request meanwhile.
    bool loginPending_ = false;
    bool connected_ = false;
    bool closeAfterResponse_ = true;
    bool followingLocation_ = false;
    int relocations_ = 0;
    // The request went out on a connection kept from an earlier one, which
    // the server may have closed meanwhile; it is sent once more, anew.
    bool reused_ = false;
    bool retried_ = false;
    bool docOpen_ = false;
    bool docWhole_ = false;
    // Why the stream refused a delivery; the document then is no answer.
    std::string storeFailure_;
    int inHandler_ = 0;
    bool reading_ = false;
    ResponseParser parser_;
    std::array<std::uint8_t, ResponseParser::kMaxLine> received_{};
};

template <typename Handler, typename... Args>
inline void THttpCli::callOut(const Handler& handler, Args&&... args) {
    if (!handler) return;
    ++inHandler_;
    idleTimer_->setEnabled(false);
    struct Resume {
        THttpCli& cli;
        ~Resume() {
            if (--cli.inHandler_ == 0 && cli.state_ != THttpState::httpReady) {
                cli.idleTimer_->setEnabled(true);
            }
        }
    } resume{*this};
    handler(*this, std::forward<Args>(args)...);
}
