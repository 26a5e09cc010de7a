#pragma once

// The client's states, in this order.
enum class THttpState {
    httpReady,
    httpNotConnected,
    httpConnected,
    httpDnsLookup,
    httpDnsLookupDone,
    httpWaitingHeader,
    httpWaitingBody,
    httpBodyReceived,
    httpAborting,
};

// The kind of a request as OnRequestDone reports it; the client sends GET only.
enum class THttpRequest { httpABORT, httpGET, httpPOST, httpPUT, httpHEAD, httpCLOSE };
