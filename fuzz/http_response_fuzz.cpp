// Random responses, in random splits, through the client: with and without a
// chunked header in front, a relocation before them, a peer that stays silent,
// and a stream that fills up.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "http/http_cli.h"
#include "support/fake_desktop.h"
#include "support/captured_stream.h"
#include "support/scripted_socket.h"

namespace {

enum Option : std::uint8_t {
    kChunked = 1,
    kRelocateFirst = 2,
    kSilentPeer = 4,
    kSmallDisk = 8,
    kKeepAlivePrefix = 16,
};

// The rest of the input holds up to four responses, separated by a form feed.
std::vector<std::string> responsesOf(std::string_view text, std::uint8_t options) {
    std::vector<std::string> responses;
    if (options & kRelocateFirst) {
        responses.emplace_back("HTTP/1.0 302 Found\r\nLocation: /next\r\n\r\n");
    }
    while (responses.size() < 5) {
        const auto cut = text.find('\f');
        std::string response(text.substr(0, cut));
        if (responses.empty() || (options & kRelocateFirst && responses.size() == 1)) {
            if (options & kChunked) {
                response = "HTTP/1.1 200 OK\r\nTransfer-Encoding: chunked\r\n\r\n" + response;
            } else if (options & kKeepAlivePrefix) {
                response = "HTTP/1.0 200 OK\r\nConnection: keep-alive\r\n" + response;
            }
        }
        responses.push_back(std::move(response));
        if (cut == std::string_view::npos) break;
        text.remove_prefix(cut + 1);
    }
    return responses;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    if (size < 2) return 0;
    const std::uint8_t options = data[0];
    const std::uint8_t splitByte = data[1];
    const std::string_view text(reinterpret_cast<const char*>(data + 2), size - 2);

    ManualPump pump;
    pump.runsTimers = true;
    const Split split = (splitByte & 3) == 0   ? Split::whole()
                        : (splitByte & 3) == 1 ? Split::bytewise()
                                               : Split::random(splitByte >> 2);
    ScriptedSocket socket(pump, split);
    const auto responses = responsesOf(text, options);
    // Every relocation connects anew, to a peer that answers with the next
    // responses; past them the peers repeat the last one.
    for (int i = 0; i < THttpCli::kMaxRelocations + 2; ++i) {
        ScriptedPeer peer;
        const auto first = std::min<std::size_t>(i, responses.size() - 1);
        peer.responses.assign(responses.begin() + static_cast<std::ptrdiff_t>(first),
                              responses.end());
        peer.closesAfter = !(options & kSilentPeer);
        socket.peers.push_back(peer);
    }

    THttpCli client("HttpClientFuzz", socket, pump);
    client.URL = "http://fuzz.test:8080/products/Telvarn/version";
    CapturedStream stream;
    if (options & kSmallDisk) stream.capacity = 100;
    int openDocuments = 0;
    client.OnDocBegin = [&](THttpCli& c) {
        ++openDocuments;
        c.RcvdStream = &stream;
    };
    client.OnDocEnd = [&](THttpCli& c) {
        --openDocuments;
        c.RcvdStream = nullptr;
    };
    try {
        client.Get();
    } catch (const EHttpException&) {
    }
    // Whatever came, the request ended and every document that began has ended.
    if (client.State() != THttpState::httpReady || openDocuments != 0) __builtin_trap();
    return 0;
}
