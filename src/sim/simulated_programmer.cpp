#include "sim/simulated_programmer.h"

#include <algorithm>

#include "link/frame_crc.h"

namespace {

const Bytes kOk{'O', 'K'};

// The factory application occupies the first pages of the flash; its bytes
// only need to be recognisable, not meaningful.
constexpr std::size_t kFactoryImageSize = 8 * 1024;

Bytes textBytes(const std::string& text) {
    return Bytes(text.begin(), text.end());
}

std::string argumentText(const SimFrame& frame) {
    return std::string(frame.bytes.begin() + static_cast<std::ptrdiff_t>(frame.word.size()),
                       frame.bytes.end());
}

bool isChannelCode(const std::string& code) {
    return code.size() == 3 &&
           std::all_of(code.begin(), code.end(), [](char c) { return c == '0' || c == '1'; });
}

std::uint32_t bigEndian(const Bytes& bytes, std::size_t at, std::size_t count) {
    std::uint32_t value = 0;
    for (std::size_t i = 0; i < count; ++i) value = (value << 8) | bytes[at + i];
    return value;
}

}  // namespace

SimulatedProgrammer::SimulatedProgrammer(SimBehaviour behaviour)
    : behaviour_(behaviour), ram_(kRamSize, 0x00), flash_(kFlashSize, 0xFF) {
    for (std::size_t i = 0; i < kFactoryImageSize; ++i) {
        flash_[i] = static_cast<std::uint8_t>((i * 7 + (i >> 8)) & 0xFF);
    }
    workTimes_["erase"] = std::chrono::milliseconds(500);
    workTimes_["progmode"] = std::chrono::milliseconds(300);
}

std::vector<SimTransmission> SimulatedProgrammer::receive(std::span<const std::uint8_t> bytes) {
    std::vector<SimTransmission> sent;
    // A device held in reset, or without its cable, hears nothing.
    if (heldInReset_ || unplugged_) return sent;
    const std::size_t skippedBefore = reader_.skipped();
    for (const SimFrame& frame : reader_.feed(bytes)) {
        if (cableComesOutDuring(frame)) break;
        ++framesReceived_[frame.word];
        std::optional<Bytes> reply = answer(frame);
        if (!reply) {
            ++framesRefused_;
            continue;
        }
        if (behaviour_ == SimBehaviour::Silent) continue;
        if (behaviour_ == SimBehaviour::Flaky) dropByteNowAndThen(*reply);
        const auto work = workTimes_.find(frame.word);
        sent.push_back({std::move(*reply),
                        work == workTimes_.end() ? std::chrono::milliseconds(0) : work->second});
    }
    bytesDiscarded_ += reader_.skipped() - skippedBefore;
    return sent;
}

bool SimulatedProgrammer::cableComesOutDuring(const SimFrame& frame) {
    if (behaviour_ != SimBehaviour::Unplug || !unplugPlan_.pullsDuring(frame)) return false;
    // The frame never arrives whole, and nothing after it arrives at all.
    unplugged_ = true;
    reader_.clear();
    return true;
}

void SimulatedProgrammer::dropPartialInput() {
    reader_.clear();
}

void SimulatedProgrammer::setDtr(bool on) {
    if (unplugged_) return;
    if (on) {
        heldInReset_ = true;
        reader_.clear();
    } else if (heldInReset_) {
        heldInReset_ = false;
        reset();
    }
}

void SimulatedProgrammer::reset() {
    ++resets_;
    applicationRunning_ = false;
    supply_ = SimSupply::None;
    vpr_ = false;
    mux_ = "000";
    reader_.clear();
}

void SimulatedProgrammer::plugBackIn() {
    unplugged_ = false;
    heldInReset_ = false;
    std::fill(ram_.begin(), ram_.end(), 0x00);
    reset();
}

std::string SimulatedProgrammer::ioStatus() const {
    const char* supply = supply_ == SimSupply::Vdd3   ? "100"
                         : supply_ == SimSupply::Vdd5 ? "010"
                         : supply_ == SimSupply::Vddu ? "001"
                                                      : "000";
    return std::string("IOST:") + (vpr_ ? '1' : '0') + mux_ + ':' + supply;
}

std::string SimulatedProgrammer::infoText() const {
    if (applicationRunning_) {
        return "Telvarn-1 Mode-APPL ID-" + serialNumber_ + " Version-" + firmwareVersion_;
    }
    return "Telvarn-1 Mode-BOOT ID-" + serialNumber_ + " Version-" + bootloaderVersion_;
}

void SimulatedProgrammer::setWorkTime(const std::string& word, std::chrono::milliseconds time) {
    workTimes_[word] = time;
}

int SimulatedProgrammer::framesReceived(const std::string& word) const {
    const auto found = framesReceived_.find(word);
    return found == framesReceived_.end() ? 0 : found->second;
}

std::optional<Bytes> SimulatedProgrammer::answer(const SimFrame& frame) {
    if (frame.word == "info") return textBytes(infoText());
    return applicationRunning_ ? applicationAnswer(frame) : bootloaderAnswer(frame);
}

std::optional<Bytes> SimulatedProgrammer::bootloaderAnswer(const SimFrame& frame) {
    if (frame.word == "erase") {
        std::fill(flash_.begin(), flash_.end(), 0xFF);
        return kOk;
    }
    if (frame.word == "prog") return programPage(frame.bytes);
    if (frame.word == "runapp") {
        // A bootloader-only device jumps to an application that falls straight back.
        applicationRunning_ = behaviour_ != SimBehaviour::BootOnly;
        return kOk;
    }
    return std::nullopt;
}

std::optional<Bytes> SimulatedProgrammer::programPage(const Bytes& frame) {
    const std::size_t dataEnd = 6 + kPageSize;
    const std::uint32_t page = bigEndian(frame, 4, 2);
    const std::uint32_t checksum = bigEndian(frame, dataEnd, 4);
    if (page >= kPageCount || frameCrc(frame.data(), dataEnd) != checksum) return std::nullopt;
    std::copy(frame.begin() + 6, frame.begin() + dataEnd, flash_.begin() + page * kPageSize);
    ++pagesProgrammed_;
    return kOk;
}

std::optional<Bytes> SimulatedProgrammer::applicationAnswer(const SimFrame& frame) {
    if (frame.word == "ramwrite" || frame.word == "ramread") return ramAnswer(frame);
    if (frame.word == "ioread") return textBytes(ioStatus());
    if (frame.word == "test") return kOk;
    if (frame.word == "idlemode") {
        lastIdlemode_ = argumentText(frame);
        return kOk;
    }
    if (frame.word == "progmode") {
        lastProgmode_ = argumentText(frame);
        return kOk;
    }
    return outputAnswer(frame);
}

std::optional<Bytes> SimulatedProgrammer::ramAnswer(const SimFrame& frame) {
    const std::size_t address = bigEndian(frame.bytes, frame.word.size(), 3);
    const std::size_t length = bigEndian(frame.bytes, frame.word.size() + 3, 2);
    if (address + length > kRamSize) return std::nullopt;
    const bool badRam = behaviour_ == SimBehaviour::BadRam;
    if (frame.word == "ramread") {
        if (badRam) return Bytes(length, 0x00);
        return Bytes(ram_.begin() + static_cast<std::ptrdiff_t>(address),
                     ram_.begin() + static_cast<std::ptrdiff_t>(address + length));
    }
    if (badRam) {
        std::fill(ram_.begin(), ram_.end(), 0x00);
    } else {
        std::copy(frame.bytes.begin() + 13, frame.bytes.end(),
                  ram_.begin() + static_cast<std::ptrdiff_t>(address));
    }
    return kOk;
}

std::optional<Bytes> SimulatedProgrammer::outputAnswer(const SimFrame& frame) {
    const std::string argument = argumentText(frame);
    if (frame.word == "vdd") {
        if (argument == "3")
            supply_ = SimSupply::Vdd3;
        else if (argument == "5")
            supply_ = SimSupply::Vdd5;
        else if (argument == "u")
            supply_ = SimSupply::Vddu;
        else
            return std::nullopt;
        return kOk;
    }
    if (frame.word == "vpr" && (argument == "0" || argument == "1")) {
        vpr_ = argument == "1";
        return kOk;
    }
    if (frame.word == "mux" && isChannelCode(argument)) {
        mux_ = argument;
        return kOk;
    }
    return std::nullopt;
}

void SimulatedProgrammer::dropByteNowAndThen(Bytes& reply) {
    // A fixed xorshift sequence: one reply in four loses a byte, the same ones
    // on every run, so that failures can be replayed.
    auto next = [this] {
        flakyState_ ^= flakyState_ << 13;
        flakyState_ ^= flakyState_ >> 17;
        flakyState_ ^= flakyState_ << 5;
        return flakyState_;
    };
    if (reply.empty() || next() % 4 != 0) return;
    reply.erase(reply.begin() + static_cast<std::ptrdiff_t>(next() % reply.size()));
    ++bytesDropped_;
}
