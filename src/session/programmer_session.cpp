#include "session/programmer_session.h"

#include "chip/buffer_dump.h"
#include "control/mux_channel.h"
#include "control/outputs_check.h"
#include "control/ram_check.h"
#include "link/discovery.h"

namespace {

// Without a variant the dump lists as many bytes as 131072 bits make.
constexpr std::uint32_t kDumpBitsWithoutVariant = 131072;

}  // namespace

FoundProgrammer ProgrammerSession::find() {
    const DiscoveryResult result = runDiscovery(link_, report_, firmwareVersion_);
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
    return loadDataFileIntoBuffer(path, buffer_, report_);
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
    return runChipOperation(kind, *variant_, options, link_, buffer_, report_);
}

bool ProgrammerSession::checkRam() {
    return runRamCheck(link_, report_, random_);
}

bool ProgrammerSession::checkOutputs() {
    return runOutputsCheck(link_, report_);
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
    return flashFirmware(link_, report_, path, beforePage);
}
