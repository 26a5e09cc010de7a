#pragma once

#include <string>

#include "link/programmer_link.h"
#include "window/log.h"

// Sets the programmer's multiplexer to the channel whose three-bit code is
// given ("000" .. "111", most significant bit first).
void selectMuxChannel(ProgrammerLink& link, Log& log, const std::string& code);
