#pragma once

#include <string>
#include <vector>

#include "chip/chip_operation.h"
#include "support/ram_model.h"
#include "support/recorded_report.h"
#include "support/scripted_link.h"

// A chip operation on a scripted programmer, with the port open.
struct ChipHarness : ScriptedLink {
    RamModel device;
    RecordedReport log;
    ChipBuffer buffer;
    ChipVariant variant = kVariant02;
    ChipOptions options;

    ChipHarness() {
        device.attach(port);
        link.open();
    }

    ChipPhase run(ChipOperationKind kind) {
        return runChipOperation(kind, variant, options, link, buffer, log);
    }

    std::vector<Bytes> framesOf(const std::string& word) const {
        return framesBeginningWith(port.written, word);
    }

    // The data bytes of every ramwrite, in the order sent.
    Bytes imageSent() const {
        Bytes image;
        for (const Bytes& frame : framesOf("ramwrite")) {
            image.insert(image.end(), frame.begin() + 13, frame.end());
        }
        return image;
    }
};
