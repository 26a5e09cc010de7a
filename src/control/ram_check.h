#pragma once

#include <cstdint>

#include "control/random_source.h"
#include "link/programmer_link.h"
#include "base/report.h"

// The programmer's RAM: 128 KiB, written and read in blocks of 1024 bytes.
inline constexpr std::uint32_t kProgrammerRamSize = 0x20000;

// Writes 0xFF, 0x00 and then a random pattern through the whole RAM, reading
// each back: six phases of 128 blocks, one log line each, the status line
// showing progress. Failed blocks only fail their phase; all blocks are always
// walked.
//
// The window's messages are processed after every block, so other handlers,
// a second RAM check among them, may run in between. Everything a run works on
// is therefore its own; only the random source is shared, by design.
//
// True when all six phases passed.
bool runRamCheck(ProgrammerLink& link, Report& report, RandomSource& random);

// Progress after the block at address a: (a + 1024) * 100 div 131072.
int ramCheckPercent(std::uint32_t address);
