#pragma once

#include <algorithm>
#include <functional>
#include <set>
#include <string>
#include <vector>

#include "chip/chip_operation.h"
#include "support/recorded_report.h"
#include "support/scripted_link.h"

// A programmer played frame by frame behind a FakeSerialPort: a RAM that
// ramwrite fills and ramread reads, "OK" to the mode commands.
struct ScriptedProgrammer {
    Bytes ram = Bytes(0x20000, 0x00);
    std::set<std::string> refusing;  // command words answered "NO"
    std::vector<std::string> modes;  // "idlemode01R", "progmode02F", ...
    // Runs before each answer: lets a test close the port or break the RAM.
    std::function<void(const std::string& word)> before;

    Bytes answer(const Bytes& frame) {
        const std::string text(frame.begin(), frame.end());
        const std::string word = wordOf(text);
        if (before) before(word);
        if (refusing.count(word) != 0) return {'N', 'O'};
        if (word == "idlemode" || word == "progmode") modes.push_back(text);
        if (word == "ramwrite") {
            const std::size_t address = (frame[8] << 16) | (frame[9] << 8) | frame[10];
            std::copy(frame.begin() + 13, frame.end(), ram.begin() + address);
        }
        if (word == "ramread") {
            const std::size_t address = (frame[7] << 16) | (frame[8] << 8) | frame[9];
            const std::size_t length = (frame[10] << 8) | frame[11];
            return Bytes(ram.begin() + address, ram.begin() + address + length);
        }
        return {'O', 'K'};
    }

    static std::string wordOf(const std::string& text) {
        for (const char* word : {"ramwrite", "ramread", "idlemode", "progmode"}) {
            if (text.rfind(word, 0) == 0) return word;
        }
        return "?";
    }
};

// A chip operation on a scripted programmer, with the port open.
struct ChipHarness : ScriptedLink {
    ScriptedProgrammer device;
    RecordedReport log;
    ChipBuffer buffer;
    ChipVariant variant = kVariant02;
    ChipOptions options;

    ChipHarness() {
        port.responder = [this](const Bytes& frame) { return device.answer(frame); };
        link.open();
    }

    ChipPhase run(ChipOperationKind kind) {
        return runChipOperation(kind, variant, options, link, buffer, log);
    }

    std::vector<Bytes> framesOf(const std::string& word) const {
        std::vector<Bytes> found;
        for (const Bytes& frame : port.written) {
            if (ScriptedProgrammer::wordOf(std::string(frame.begin(), frame.end())) == word) {
                found.push_back(frame);
            }
        }
        return found;
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
