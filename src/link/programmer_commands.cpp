// The thirteen programmer commands: frames, time-outs and reply rules.
#include <stdexcept>

#include "link/frame_crc.h"
#include "link/programmer_link.h"

namespace {

constexpr std::size_t kPageSize = 256;

std::uint8_t byteOf(std::uint32_t value, int shift) {
    return static_cast<std::uint8_t>(value >> shift);
}

// The first three characters of an argument text; a shorter text is an error
// that reaches the caller.
Bytes withThreeCharacters(const std::string& word, const std::string& text) {
    if (text.size() < 3) throw std::out_of_range("Argument text '" + text + "' is too short");
    return commandFrame(word,
                        {static_cast<std::uint8_t>(text[0]), static_cast<std::uint8_t>(text[1]),
                         static_cast<std::uint8_t>(text[2])});
}

void appendAddressAndLength(Bytes& frame, std::uint32_t address, std::uint16_t length) {
    frame.insert(frame.end(), {byteOf(address, 16), byteOf(address, 8), byteOf(address, 0),
                               byteOf(length, 8), byteOf(length, 0)});
}

}  // namespace

std::string ProgrammerLink::info() {
    const auto reply =
        transact([] { return commandFrame("info"); }, 100, 100, 100, TimeoutErrors::Escape);
    if (!reply) return "NULL";
    return std::string(reply->begin(), reply->end());
}

bool ProgrammerLink::erase() {
    return okCommand([] { return commandFrame("erase"); }, 15000, 15000);
}

bool ProgrammerLink::prog(std::span<const std::uint8_t> image, std::uint32_t offset) {
    return okCommand(
        [&] {
            if (offset > image.size() || image.size() - offset < kPageSize) {
                throw std::out_of_range("Page at offset " + std::to_string(offset) +
                                        " lies outside the image");
            }
            Bytes frame = commandFrame("prog", {byteOf(offset, 16), byteOf(offset, 8)});
            frame.insert(frame.end(), image.begin() + offset, image.begin() + offset + kPageSize);
            const std::uint32_t crc = frameCrc(frame.data(), frame.size());
            frame.insert(frame.end(),
                         {byteOf(crc, 24), byteOf(crc, 16), byteOf(crc, 8), byteOf(crc, 0)});
            return frame;
        },
        100, 100);
}

bool ProgrammerLink::runapp() {
    return okCommand([] { return commandFrame("runapp"); }, 10, 10);
}

bool ProgrammerLink::ramwrite(std::span<const std::uint8_t> source, std::size_t index,
                              std::uint32_t address, std::uint16_t length) {
    return okCommand(
        [&] {
            if (index > source.size() || source.size() - index < length) {
                throw std::out_of_range("RAM block lies outside the source buffer");
            }
            Bytes frame = commandFrame("ramwrite");
            appendAddressAndLength(frame, address, length);
            frame.insert(frame.end(), source.begin() + index, source.begin() + index + length);
            return frame;
        },
        200, 10);
}

bool ProgrammerLink::ramread(std::span<std::uint8_t> destination, std::uint32_t address,
                             std::uint16_t length) {
    const auto reply = transact(
        [&] {
            if (destination.size() < length) {
                throw std::out_of_range("RAM read buffer is shorter than the block");
            }
            Bytes frame = commandFrame("ramread");
            appendAddressAndLength(frame, address, length);
            return frame;
        },
        200, 10, length, TimeoutErrors::Fail);
    if (!reply) return false;
    std::copy(reply->begin(), reply->end(), destination.begin());
    return reply->size() == length;
}

bool ProgrammerLink::vdd(const std::string& selector) {
    const std::uint8_t which = selector == "3" ? '3' : selector == "5" ? '5' : 'u';
    return okCommand([&] { return commandFrame("vdd", {which}); }, 50, 2);
}

bool ProgrammerLink::vpr(bool on) {
    const std::uint8_t state = on ? '1' : '0';
    return okCommand([&] { return commandFrame("vpr", {state}); }, 10, 2);
}

bool ProgrammerLink::mux(const std::string& state) {
    return okCommand([&] { return withThreeCharacters("mux", state); }, 10, 2);
}

bool ProgrammerLink::ioread(std::string& destination) {
    const auto reply =
        transact([] { return commandFrame("ioread"); }, 10, 10, 13, TimeoutErrors::Fail);
    if (!reply) return false;
    destination.assign(reply->begin(), reply->end());
    return reply->size() == 13;
}

bool ProgrammerLink::test() {
    return okCommand([] { return commandFrame("test"); }, 150, 2);
}

bool ProgrammerLink::idlemode(const std::string& mode) {
    return okCommand([&] { return withThreeCharacters("idlemode", mode); }, 50, 2);
}

bool ProgrammerLink::progmode(const std::string& mode) {
    return okCommand([&] { return withThreeCharacters("progmode", mode); }, 15000, 2);
}
