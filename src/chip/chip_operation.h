#pragma once

#include "chip/chip_menu_context.h"
#include "chip/chip_variant.h"

// "Прошить" and "Прожечь": the first 4096 bytes of the buffer go to the
// programmer's RAM, are read back and compared, and progmode programs or
// burns the chip from there. The buffer is the same after every ending as
// before, an escaping error included. True when the programmer reported the
// chip programmed or burnt.
bool RunChipOperation(ChipOperationKind kind, ChipMenuContext& context);
