#include "session/programmer_session.h"

#include "base/file_crc32.h"
#include "base/text.h"
#include "chip/buffer_dump.h"
#include "control/mux_channel.h"
#include "control/outputs_check.h"
#include "control/ram_check.h"
#include "link/discovery.h"
#include "session/journaled.h"

namespace {

// Without a variant the dump lists as many bytes as 131072 bits make.
constexpr std::uint32_t kDumpBitsWithoutVariant = 131072;

}  // namespace

void ProgrammerSession::setJournal(Journal* journal, std::function<bool()> cancelled) {
    journal_ = journal;
    cancelled_ = std::move(cancelled);
}

JournalRow ProgrammerSession::journalRow(const std::string& operation) const {
    JournalRow row;
    row.port = link_.portName();
    row.serial = serialNumber_;
    // -1 and -2 say it was not read.
    if (firmwareVersion_ >= 0) row.firmware = decimal(firmwareVersion_);
    row.operation = operation;
    return row;
}

FoundProgrammer ProgrammerSession::find(const std::string& firstPort) {
    const DiscoveryResult result = runDiscovery(link_, report_, firmwareVersion_, firstPort);
    serialNumber_ = result.serialNumber;
    return FoundProgrammer{result.found, result.found ? link_.portName() : std::string(),
                           result.serialNumber, firmwareVersion_};
}

bool ProgrammerSession::newChip() {
    const bool done = link_.idlemode("00R");
    report_.line(done ? "Выбрана новая микросхема" : "Ошибка выбора новой микросхемы");
    return done;
}

bool ProgrammerSession::selectVariant(const ChipVariant& variant) {
    variant_ = variant;
    const std::string argument = variant.idleArgument();
    const std::string name(variant.name);
    const bool done = link_.idlemode(argument);
    report_.line(done ? "Выбрана микросхема : " + name
                      : "Ошибка установки режима IDLEMODE" + argument + " для микросхемы : " + name);
    return done;
}

void ProgrammerSession::selectStartUpVariant() {
    if (link_.isOpen()) selectVariant(kVariant02);
}

BufferLoad ProgrammerSession::load(const std::string& path) {
    // A file that cannot be read leaves the buffer cleared: no CRC stands for it.
    loadedFile_ = path;
    loadedCrc_.reset();
    const BufferLoad loaded = loadDataFileIntoBuffer(path, buffer_, report_);
    loadedCrc_ = loaded.crc;
    return loaded;
}

void ProgrammerSession::dump() {
    const std::uint32_t bits = variant_ ? variant_->bits : kDumpBitsWithoutVariant;
    dumpBuffer(buffer_, (bits + 7) / 8, report_);
}

std::optional<ChipPhase> ProgrammerSession::program() {
    return operate(ChipOperationKind::Program);
}

std::optional<ChipPhase> ProgrammerSession::burn() {
    return operate(ChipOperationKind::Burn);
}

std::optional<ChipPhase> ProgrammerSession::operate(ChipOperationKind kind) {
    if (!variant_) {
        report_.line("Не выбран тип микросхемы");
        return std::nullopt;
    }
    JournalRow row = journalRow(kind == ChipOperationKind::Program ? "program" : "burn");
    row.file = loadedFile_;
    if (loadedCrc_) row.crc32 = hexLong(*loadedCrc_);
    row.variant = std::string(variant_->name);
    return journaled(
        journal_, cancelled_, row,
        [&] { return runChipOperation(kind, *variant_, options, link_, buffer_, report_); },
        [](ChipPhase phase) { return phaseName(phase); });
}

bool ProgrammerSession::checkRam() {
    return journaled(
        journal_, cancelled_, journalRow("ram-check"),
        [&] { return runRamCheck(link_, report_, random_); }, checkPhase("ram"));
}

bool ProgrammerSession::checkOutputs() {
    return journaled(
        journal_, cancelled_, journalRow("outputs-check"),
        [&] { return runOutputsCheck(link_, report_); }, checkPhase("outputs"));
}

bool ProgrammerSession::setSupply(Supply supply) {
    return ::setSupply(link_, report_, supply);
}

bool ProgrammerSession::switchVpr(bool on) {
    return ::switchVpr(link_, report_, on);
}

bool ProgrammerSession::selectMuxChannel(int channel) {
    return ::selectMuxChannel(link_, report_, channel);
}

std::optional<ProgrammerStatus> ProgrammerSession::readStatus() {
    std::string reply;
    if (!link_.ioread(reply)) return std::nullopt;
    const auto status = parseStatusReply(reply);
    if (status) lastStatus_ = status;
    return status;
}

FlashResult ProgrammerSession::flash(const std::string& path,
                                     const std::function<void()>& beforePage) {
    JournalRow row = journalRow("flash");
    row.file = path;
    if (journal_ != nullptr) {
        const auto crc = fileCrc32(path);
        if (crc) row.crc32 = hexLong(*crc);
    }
    return journaled(
        journal_, cancelled_, row, [&] { return flashFirmware(link_, report_, path, beforePage); },
        [](FlashResult result) { return phaseName(result); });
}
