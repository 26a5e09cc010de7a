#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
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

    // The client's own codes. Get raises kBusyError while a request runs and
    // kVersionError for a RequestVer other than "1.0" and "1.1". A request the
    // client fails itself ends with StatusCode() kFailedStatus, which Get
    // raises, or kUnknownProtocolStatus for a protocol other than http;
    // Abort() without a running request sets kIdleAbortStatus.
    static constexpr std::uint16_t kBusyError = 1;
    static constexpr std::uint16_t kVersionError = 5;
    static constexpr int kFailedStatus = 404;
    static constexpr int kUnknownProtocolStatus = 501;
    static constexpr int kIdleAbortStatus = 200;
    // RequestDoneError of a request that was aborted, or that timed out.
    static constexpr std::uint16_t kAbortedError = 3;
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
    int StatusCode() const { return head_.statusCode; }
    const std::string& ReasonPhrase() const { return head_.reasonPhrase; }
    const std::string& ResponseVersion() const { return head_.version; }
    int ContentLength() const { return head_.contentLength; }
    const std::string& ContentType() const { return head_.contentType; }
    const std::string& TransferEncoding() const { return head_.transferEncoding; }
    std::int64_t RcvdCount() const { return doc_.received; }
    const std::string& DocName() const { return doc_.name; }
    const std::string& Location() const { return doc_.location; }
    const std::vector<std::string>& RcvdHeader() const { return head_.lines; }
    std::uint16_t RequestDoneError() const { return requestDoneError_; }
    // Inside OnDocEnd: whether the document that ends is the answer asked for,
    // a 2xx response received whole, not the body of a relocation or an error page.
    bool DocIsAnswer() const;

  private:
    // Where a request goes. The open connection keeps the one it was made
    // for, so that a later request can tell whether it serves it too.
    struct Target {
        std::string protocol;
        std::string hostLine;  // the host as the Host line names it
        std::string host;      // the host to connect to
        std::string port;
        std::string path;
        bool sameServer(const Target& other) const;
    };

    // The document the request brings; after a relocation, the next one.
    struct Document {
        std::string location;  // its address
        std::string name;      // a file-like name for it
        std::int64_t received = 0;
        bool whole = false;  // it ended with every byte come and stored
        // Why the stream refused a delivery; the document then is no answer.
        std::string storeFailure;
    };

    // Where a request stands, beside the state it publishes.
    enum class Phase {
        Plain,  // none of the below
        // Sent on a connection kept from an earlier request, which the server
        // may have closed meanwhile: a close before any byte sends it anew.
        OnKeptConnection,
        Relocated,          // the answer is a relocation, followed once it is over
        ClosingToRelocate,  // the relocation waits for the connection's close
        RelocationPosted,   // the relocation's request is posted and owns the request
    };

    // Starting and ending requests.
    void DoRequestAsync();
    void setTarget(const std::string& url);
    void clearAnswer(std::string location);
    void clearHead();
    bool connectionServesTarget() const;
    void SetReady();
    void StateChange(THttpState state);
    void Post(std::function<void()> call);
    void waitUntilReady();
    void resetResponse();
    void finishNow();
    void dropConnection();
    void fail(int statusCode, const std::string& reason);
    void restartIdleTimer();

    // Connecting and the request.
    void Login();
    void connectTo(const std::string& address);
    void connected();
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
    bool relocating() const;
    void relocationHeader(const std::string& value);
    bool countRelocation();
    void StartRelocation();
    void relocateOnKeptConnection();
    void LocationSessionClosed();
    void cutRelocationBody();

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
    Phase phase_ = Phase::Plain;
    Target target_;
    // What the connection was started for, until its close is heard.
    std::optional<Target> connection_;
    // Closes still to come from connections this client has dropped.
    int staleCloses_ = 0;
    // The latest response's header as the parser had it at its end, or the
    // client's own failure in its status.
    ResponseHead head_;
    Document doc_;
    std::uint16_t requestDoneError_ = 0;
    int relocations_ = 0;
    // The server closes the connection after the response: so the request's
    // version has it until a Connection line of an answer says otherwise.
    bool closeAfterResponse_ = true;
    // Event handlers running now; the stall limit waits for them.
    int inHandler_ = 0;
    // The parser is being fed; bytes offered meanwhile wait in the socket.
    bool reading_ = false;
    ResponseParser parser_;
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
