#pragma once

#include "base/report.h"
#include "chip/chip_buffer.h"
#include "chip/chip_variant.h"
#include "link/programmer_link.h"

// The two option bits an operation forces into the image it sends, each the
// last step of its operation: set (true, the everyday setting) clears the
// bit, so that the step is made.
struct ChipOptions {
    bool programFinalStep = true;  // bit 29628, forced by "Прошить"
    bool burnFinalStep = true;     // bit 30717 of "9912ЛК047", forced by "Прожечь"
    bool operator==(const ChipOptions&) const = default;
};

// Where a chip operation stopped: the programmer's RAM did not take the image
// (Load), did not read back as sent (Verify), or did not program or burn the
// chip from it (Progmode).
enum class ChipPhase { Done, Load, Verify, Progmode };

// "Прошить" and "Прожечь": the first bytes of the buffer (as many as the
// variant has) go to the programmer's RAM, are read back and compared, and
// progmode programs or burns the chip from there. The buffer is the same
// after every ending as before, an escaping error included.
ChipPhase runChipOperation(ChipOperationKind kind, const ChipVariant& variant,
                           const ChipOptions& options, ProgrammerLink& link, ChipBuffer& buffer,
                           Report& report);
