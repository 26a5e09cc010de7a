#pragma once

#include <functional>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "base/bytes.h"
#include "support/fake_serial_port.h"
#include "support/test_bytes.h"

// A 13-character status reply. The positions nobody reads carry ones, so a
// reader that looks at the wrong place gets noticed.
inline std::string statusReply(char vpr, const std::string& channel, const std::string& supply) {
    return std::string("11111") + vpr + channel + "1" + supply;
}

// A programmer that keeps what it is sent in a 128 KiB RAM and answers every
// other command "OK" (ioread with a plain status), or "NO" to the command words
// it is told to refuse. Hooks spoil it on purpose.
struct RamModel {
    Bytes ram = Bytes(0x20000, 0xA5);
    std::set<std::string> refusing;  // command words answered "NO"
    std::vector<std::string> modes;  // "idlemode01R", "progmode02F", ...
    // Runs before each answer: lets a test close the port or break the RAM.
    std::function<void(const std::string& word)> before;
    // Runs after each ramread reply is built; may change the reply.
    std::function<void(std::uint32_t address, Bytes& reply)> onRead;
    // Runs on each ramwrite frame.
    std::function<void(const Bytes& frame)> onWrite;

    static std::uint32_t addressOf(const Bytes& frame, std::size_t at) {
        return std::uint32_t{frame[at]} << 16 | std::uint32_t{frame[at + 1]} << 8 | frame[at + 2];
    }
    static std::size_t lengthOf(const Bytes& frame, std::size_t at) {
        return std::size_t{frame[at + 3]} << 8 | frame[at + 4];
    }
    static bool startsWith(const Bytes& frame, const std::string& word) {
        return frame.size() >= word.size() && std::equal(word.begin(), word.end(), frame.begin());
    }

    static std::string wordOf(const Bytes& frame) {
        const std::string text(frame.begin(), frame.end());
        return text.substr(0, text.find_first_not_of("abcdefghijklmnopqrstuvwxyz"));
    }

    Bytes answer(const Bytes& frame) {
        const std::string word = wordOf(frame);
        if (before) before(word);
        if (refusing.count(word) != 0) return bytesOf("NO");
        if (word == "idlemode" || word == "progmode") modes.emplace_back(frame.begin(), frame.end());
        if (startsWith(frame, "ramwrite")) {
            if (onWrite) onWrite(frame);
            const std::uint32_t address = addressOf(frame, 8);
            std::copy(frame.begin() + 13, frame.end(), ram.begin() + address);
            return bytesOf("OK");
        }
        if (startsWith(frame, "ramread")) {
            const std::uint32_t address = addressOf(frame, 7);
            Bytes reply(ram.begin() + address, ram.begin() + address + lengthOf(frame, 7));
            if (onRead) onRead(address, reply);
            return reply;
        }
        if (startsWith(frame, "ioread")) return bytesOf(statusReply('0', "000", "100"));
        return bytesOf("OK");
    }

    void attach(FakeSerialPort& port) {
        port.responder = [this](const Bytes& frame) { return answer(frame); };
    }
};

// The log lines of a RAM check, one outcome ("OK" or "ER") per phase in the
// order they run: write 0xFF, read 0xFF, write 0x00, read 0x00, write RND,
// read RND. More than six outcomes stand for checks that follow each other.
inline std::vector<std::string> ramCheckLines(const std::string& outcomes) {
    static const char* const kPhases[] = {"RAM_WRITE 0xFF", "RAM_READ 0xFF", "RAM_WRITE 0x00",
                                          "RAM_READ 0x00",  "RAM_WRITE RND", "RAM_READ RND"};
    std::vector<std::string> lines;
    std::istringstream words(outcomes);
    for (std::string outcome; words >> outcome;) {
        lines.push_back(std::string(kPhases[lines.size() % 6]) + " : " + outcome);
    }
    return lines;
}
