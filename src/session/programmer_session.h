#pragma once

#include <cstdint>
#include <functional>
#include <optional>
#include <string>

#include "base/report.h"
#include "chip/buffer_load.h"
#include "chip/chip_buffer.h"
#include "chip/chip_operation.h"
#include "chip/chip_variant.h"
#include "control/programmer_status.h"
#include "control/random_source.h"
#include "control/supply_commands.h"
#include "link/programmer_link.h"
#include "control/firmware_flash.h"
#include "session/journal.h"

// The programmer found by a search.
struct FoundProgrammer {
    bool found = false;        // its application answered
    std::string port;          // the port it answered on
    std::string serialNumber;  // of the last programmer whose bootloader answered
    // The application's version; -1 when unreadable, -2 when only the
    // bootloader answered.
    std::int32_t firmwareVersion = -1;
};

// What the operator does with the programmer and the chip, one call each,
// whichever front end asks: the window's menus, the command line. It holds
// the chip buffer, the chip variant and the option choice; each operation
// tells the operator what it does through the report and returns its outcome.
class ProgrammerSession {
  public:
    ProgrammerSession(ProgrammerLink& link, Report& report) : link_(link), report_(report) {}
    ProgrammerSession(const ProgrammerSession&) = delete;
    ProgrammerSession& operator=(const ProgrammerSession&) = delete;

    // From now on every program, burn, self-check and flash appends its row to
    // the journal; null stops that. cancelled tells whether an operation that
    // an error ended was ended by the operator.
    void setJournal(Journal* journal, std::function<bool()> cancelled = nullptr);

    // Searches the ports, firstPort first when it is listed; the link stays
    // open on the programmer found.
    FoundProgrammer find(const std::string& firstPort = "");
    std::int32_t firmwareVersion() const { return firmwareVersion_; }

    // "Новая микросхема": tells the programmer a new chip is in the socket.
    bool newChip();
    // Selects the variant and tells the programmer; the choice stands whatever
    // the programmer answers, even when the exchange raises.
    bool selectVariant(const ChipVariant& variant);
    // The variant chosen at start once a programmer is found: "9912ЛК047".
    // Nothing while the link is closed.
    void selectStartUpVariant();
    const std::optional<ChipVariant>& variant() const { return variant_; }

    ChipOptions options;

    // Fills the buffer from a data file; raises an AppError for a file that
    // cannot be read.
    BufferLoad load(const std::string& path);
    // Lists the buffer in the log, as many bytes as the variant has.
    void dump();
    // "Прошить" and "Прожечь"; nothing when no variant is chosen.
    std::optional<ChipPhase> program();
    std::optional<ChipPhase> burn();

    // The self-checks; true when passed.
    bool checkRam();
    bool checkOutputs();

    bool setSupply(Supply supply);
    bool switchVpr(bool on);
    bool selectMuxChannel(int channel);
    // The programmer's own report of its outputs; nothing for a failed or
    // short reply.
    std::optional<ProgrammerStatus> readStatus();
    // The last report that came whole; nothing before the first.
    const std::optional<ProgrammerStatus>& lastStatus() const { return lastStatus_; }

    // Flashes the application image in the file through the bootloader.
    FlashResult flash(const std::string& path, const std::function<void()>& beforePage = nullptr);

    ProgrammerLink& link() { return link_; }
    ChipBuffer& buffer() { return buffer_; }
    Report& report() { return report_; }
    // The process's one random source; the RAM check draws from it.
    RandomSource& random() { return random_; }

  private:
    std::optional<ChipPhase> operate(ChipOperationKind kind);
    // The row's fields known before the operation: the programmer's.
    JournalRow journalRow(const std::string& operation) const;

    ProgrammerLink& link_;
    Report& report_;
    ChipBuffer buffer_;
    std::optional<ChipVariant> variant_;
    std::int32_t firmwareVersion_ = -1;
    std::optional<ProgrammerStatus> lastStatus_;
    RandomSource random_;
    Journal* journal_ = nullptr;
    std::function<bool()> cancelled_;
    // What the journal tells of the programmer and of the loaded file.
    std::string serialNumber_;
    std::string loadedFile_;
    std::optional<std::uint32_t> loadedCrc_;
};
