#pragma once

#include <optional>
#include <string>

#include "base/report.h"
#include "link/programmer_link.h"

// The multiplexer's eight channels, 0 to 7.
inline constexpr int kMuxChannels = 8;

// A channel's three-bit code as the mux command and the status reply carry
// it: "000" .. "111", most significant bit first.
std::string muxChannelCode(int channel);
// The channel of a code; nothing for anything but three binary digits.
std::optional<int> muxChannelOfCode(const std::string& code);

// Sets the programmer's multiplexer to the channel; true when it took it.
bool selectMuxChannel(ProgrammerLink& link, Report& report, int channel);
