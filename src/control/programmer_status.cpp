#include "control/programmer_status.h"

#include "control/mux_channel.h"

namespace {

constexpr std::size_t kStatusLength = 13;
// Zero-based offsets into the status reply.
constexpr std::size_t kVprAt = 5;
constexpr std::size_t kChannelAt = 6;
constexpr std::size_t kSupplyAt = 10;

std::optional<Supply> supplyOf(const std::string& bits) {
    if (bits == "100") return Supply::Vdd3;
    if (bits == "010") return Supply::Vdd5;
    if (bits == "001") return Supply::VddU;
    return std::nullopt;
}

}  // namespace

std::optional<ProgrammerStatus> parseStatusReply(const std::string& reply) {
    if (reply.size() != kStatusLength) return std::nullopt;
    ProgrammerStatus status;
    status.channel = muxChannelOfCode(reply.substr(kChannelAt, 3));
    status.vpr = reply[kVprAt] == '1';
    status.supply = supplyOf(reply.substr(kSupplyAt, 3));
    return status;
}
