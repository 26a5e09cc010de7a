#include "http/http_state.h"

const char* stateName(THttpState state) {
    switch (state) {
        case THttpState::httpReady:
            return "httpReady";
        case THttpState::httpNotConnected:
            return "httpNotConnected";
        case THttpState::httpConnected:
            return "httpConnected";
        case THttpState::httpDnsLookup:
            return "httpDnsLookup";
        case THttpState::httpDnsLookupDone:
            return "httpDnsLookupDone";
        case THttpState::httpWaitingHeader:
            return "httpWaitingHeader";
        case THttpState::httpWaitingBody:
            return "httpWaitingBody";
        case THttpState::httpBodyReceived:
            return "httpBodyReceived";
        case THttpState::httpWaitingProxyConnect:
            return "httpWaitingProxyConnect";
        case THttpState::httpClosing:
            return "httpClosing";
        case THttpState::httpAborting:
            return "httpAborting";
    }
    return "?";
}
