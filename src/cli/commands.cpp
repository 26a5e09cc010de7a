#include "cli/commands.h"

#include <chrono>
#include <string>

#include "base/errors.h"
#include "base/file_crc32.h"
#include "cli/exit_status.h"

namespace {

using Clock = std::chrono::steady_clock;

// Raised where the operator's Ctrl+C found no port operation to end.
class Interrupted : public std::runtime_error {
  public:
    Interrupted() : std::runtime_error("interrupted") {}
};

class CommandRun {
  public:
    CommandRun(const CliArguments& arguments, CliRun& run)
        : a_(arguments),
          r_(run),
          session_(run.session.session),
          link_(run.session.link),
          started_(Clock::now()) {
        summary_.operation = commandName(arguments.command);
    }

    CommandOutcome run() {
        int status = kExitFailed;
        try {
            status = dispatch();
        } catch (const std::exception& error) {
            status = escaped(error);
        }
        summary_.seconds = std::chrono::duration<double>(Clock::now() - started_).count();
        return {status, summary_};
    }

  private:
    int dispatch() {
        switch (a_.command) {
            case CliCommand::Find:
                return found() ? done(true) : kExitNotFound;
            case CliCommand::Load:
                return loaded() ? done(true) : kExitFileErrors;
            case CliCommand::Program:
                return chip(ChipOperationKind::Program);
            case CliCommand::Burn:
                return chip(ChipOperationKind::Burn);
            case CliCommand::SelfTest:
                return selfTest();
            case CliCommand::Flash:
                return flash();
        }
        return kExitBadArguments;
    }

    int done(bool ok) {
        summary_.result = ok ? "ok" : "failed";
        return ok ? kExitDone : kExitFailed;
    }

    // Discovery; true when a programmer's application answered.
    bool found() {
        const FoundProgrammer programmer = session_.find();
        if (r_.searched) r_.searched(programmer.found);
        stopIfInterrupted();
        if (programmer.found) noteProgrammer(programmer);
        if (!programmer.found) summary_.result = "not found";
        return programmer.found;
    }

    void noteProgrammer(const FoundProgrammer& programmer) {
        summary_.port = link_.portName();
        summary_.serialNumber = programmer.serialNumber;
        // -1 and -2 say that no version was read.
        if (programmer.firmwareVersion >= 0) summary_.firmwareVersion = programmer.firmwareVersion;
    }

    // The load; false when the file cannot be used.
    bool loaded() {
        summary_.file = a_.file;
        try {
            const BufferLoad load = session_.load(a_.file);
            summary_.crc = load.crc;
            if (load.invalidLines == 0) return true;
            if (a_.command != CliCommand::Load) {
                r_.output.message("telvarn-cli: " + a_.file + " has error lines; nothing was " +
                                  (a_.command == CliCommand::Burn ? "burnt" : "programmed"));
            }
        } catch (const AppError& error) {
            r_.output.message(std::string("telvarn-cli: ") + error.what());
        }
        summary_.result = "file errors";
        return false;
    }

    int chip(ChipOperationKind kind) {
        if (!found()) return kExitNotFound;
        r_.session.selectVariant(a_.variant);
        // On a bench a half-valid file is a mistake, not a chip.
        if (!loaded()) return kExitFileErrors;
        if (a_.repeat) return repeated(kind);
        const bool ok = operate(kind);
        stopIfInterrupted();
        return done(ok);
    }

    int repeated(ChipOperationKind kind) {
        summary_.good = 0;
        summary_.failed = 0;
        while (nextChip()) {
            // A programmer whose cable came out is searched for again, so that
            // plugging it back in and pressing Enter carries on with the batch.
            const bool ok = (link_.isOpen() || found()) && operate(kind);
            ++*(ok ? summary_.good : summary_.failed);
            stopIfInterrupted();
        }
        return done(*summary_.failed == 0);
    }

    bool nextChip() {
        const bool more = r_.nextChip ? r_.nextChip() : enterPressed();
        stopIfInterrupted();
        return more;
    }

    bool enterPressed() {
        r_.output.message(kNextChipPrompt);
        std::string line;
        return static_cast<bool>(std::getline(r_.input, line));
    }

    // "Прошить" or "Прожечь"; true when the chip was programmed or burnt.
    bool operate(ChipOperationKind kind) {
        const auto phase =
            kind == ChipOperationKind::Program ? session_.program() : session_.burn();
        return phase == ChipPhase::Done;
    }

    int selfTest() {
        if (!found()) return kExitNotFound;
        const bool ram = session_.checkRam();
        const bool outputs = session_.checkOutputs();
        stopIfInterrupted();
        return done(ram && outputs);
    }

    int flash() {
        summary_.file = a_.file;
        // A file that cannot be read stops the run before the programmer is touched.
        summary_.crc = fileCrc32(a_.file);
        if (!summary_.crc) throw AppError("Cannot read the firmware file " + a_.file);
        const FoundProgrammer programmer = session_.find();
        stopIfInterrupted();
        // As in the window, the update needs only the open link: a programmer
        // that answered only in its bootloader is what it is for.
        if (!link_.isOpen()) {
            summary_.result = "not found";
            return kExitNotFound;
        }
        noteProgrammer(programmer);
        // The operator's file is flashed where it is, and kept.
        const bool flashed = session_.flash(a_.file) == FlashResult::Flashed;
        stopIfInterrupted();
        return done(flashed);
    }

    void stopIfInterrupted() {
        if (r_.interrupted && r_.interrupted()) throw Interrupted();
    }

    // An error that escaped the operation ends the run; the port is closed
    // either way, so that nothing is left half-done on the line.
    int escaped(const std::exception& error) {
        try {
            link_.close();
        } catch (const std::exception&) {
        }
        if (r_.interrupted && r_.interrupted()) {
            r_.output.message("telvarn-cli: interrupted");
            summary_.result = "interrupted";
            return kExitInterrupted;
        }
        r_.output.message(std::string("telvarn-cli: ") + error.what());
        summary_.result = "error";
        return kExitFailed;
    }

    const CliArguments& a_;
    CliRun& r_;
    ProgrammerSession& session_;
    ProgrammerLink& link_;
    Clock::time_point started_;
    Summary summary_;
};

}  // namespace

CommandOutcome performCommand(const CliArguments& arguments, CliRun run) {
    return CommandRun(arguments, run).run();
}

int runCommand(const CliArguments& arguments, CliRun run) {
    const CommandOutcome outcome = performCommand(arguments, run);
    run.output.summary(outcome.summary, arguments.json);
    return outcome.status;
}
