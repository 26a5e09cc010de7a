#include "cli/gang.h"

#include <algorithm>
#include <chrono>
#include <optional>
#include <sstream>
#include <thread>

#include "cli/cli_output.h"
#include "cli/cli_session.h"
#include "cli/commands.h"
#include "cli/exit_status.h"
#include "cli/gang_rounds.h"
#include "cli/interruptible_port.h"
#include "cli/prefixed_lines.h"
#include "session/journal.h"
#include "startup/front_end.h"

namespace {

using Clock = std::chrono::steady_clock;

// A member's system port list: the search restricted to its one port.
class OnePort : public PortEnumerator {
  public:
    explicit OnePort(std::string name) : name_(std::move(name)) {}
    std::vector<std::string> listPorts() override { return {name_}; }

  private:
    std::string name_;
};

// What the gang shares between the programmers' threads.
struct Shared {
    const CliArguments& arguments;
    GangRun& run;
    SharedLines out;
    SharedLines err;
    GangRounds rounds;
};

// One programmer: its port, its link and session, its output, on its thread.
class Member {
  public:
    Member(Shared& shared, std::string port)
        : shared_(shared),
          port_(std::move(port)),
          prefix_("[" + port_ + "] "),
          out_(shared.out, prefix_),
          err_(shared.err, prefix_) {}

    void start() {
        thread_ = std::thread([this] { work(); });
    }
    void join() { thread_.join(); }

    // Nothing once its port held no programmer and was not named.
    const std::optional<CommandOutcome>& outcome() const { return outcome_; }

  private:
    void work() {
        const bool named = shared_.run.portsNamed;
        if (!named) {
            out_.hold();
            err_.hold();
        }
        try {
            operate();
        } catch (const std::exception& error) {
            err_ << "telvarn-cli: " << error.what() << '\n';
            outcome_ = CommandOutcome{kExitFailed, {}};
            outcome_->summary.result = "error";
        }
        shared_.rounds.leave();
        if (!named && !found_) {
            out_.discard();
            err_.discard();
            outcome_.reset();
        }
    }

    void operate() {
        const GangRun& run = shared_.run;
        const std::unique_ptr<GangPlatform> platform = run.platform();
        OnePort list(port_);
        BenchPorts ports(platform->port(), list, run.simulators,
                         {{}, std::nullopt, false, shared_.arguments.traceFile});
        InterruptiblePort line(ports.port(), run.interrupted);
        CliSession session({line, ports.ports(), platform->pump()}, shared_.arguments.logFile,
                           prefix_);
        session.session.setJournal(run.journal, run.interrupted);
        CliOutput output(out_, err_, CliOutput::Terminals{});
        output.follow(session.log, session.status);
        std::istringstream noInput;
        CliRun cli{session, output, noInput, run.interrupted};
        cli.nextChip = [this] { return shared_.rounds.next(); };
        cli.searched = [this](bool found) { noteSearch(found); };
        outcome_ = performCommand(shared_.arguments, cli);
        // A port without a programmer is still named in its summary.
        if (!outcome_->summary.port) outcome_->summary.port = port_;
        if (!shared_.arguments.json) output.summary(outcome_->summary, false);
        output.finish();
    }

    void noteSearch(bool found) {
        if (!found || found_) return;
        found_ = true;
        out_.release();
        err_.release();
    }

    Shared& shared_;
    std::string port_;
    std::string prefix_;
    PrefixedLines out_;
    PrefixedLines err_;
    std::thread thread_;
    bool found_ = false;
    std::optional<CommandOutcome> outcome_;
};

// The operator's Enters for a repeated gang, until the input ends or no
// programmer is left.
void feedRounds(Shared& shared) {
    while (shared.rounds.awaitReady()) {
        shared.err.write(std::string(kNextChipPrompt) + '\n');
        std::string line;
        if (!std::getline(shared.run.input, line)) return shared.rounds.end();
        shared.rounds.start();
    }
}

bool succeeded(const CommandOutcome& outcome) {
    return outcome.status == kExitDone;
}

// The gang's own summary: its programmers, or with --repeat its chips, that
// succeeded and failed.
Summary totalOf(const CliArguments& arguments, const std::vector<const CommandOutcome*>& outcomes,
                int status, double seconds) {
    Summary total;
    total.operation = commandName(arguments.command);
    total.seconds = seconds;
    total.programmers = static_cast<int>(outcomes.size());
    total.good = 0;
    total.failed = 0;
    for (const CommandOutcome* outcome : outcomes) {
        const Summary& s = outcome->summary;
        *total.good += s.good ? *s.good : succeeded(*outcome) ? 1 : 0;
        *total.failed += s.failed ? *s.failed : succeeded(*outcome) ? 0 : 1;
    }
    total.result = status == kExitInterrupted ? "interrupted"
                   : status == kExitNotFound  ? "not found"
                   : status == kExitDone      ? "ok"
                                              : "failed";
    return total;
}

int statusOf(const std::vector<const CommandOutcome*>& outcomes, bool interrupted) {
    if (interrupted) return kExitInterrupted;
    const auto any = [&](auto test) { return std::any_of(outcomes.begin(), outcomes.end(), test); };
    if (!any([](const CommandOutcome* o) { return o->status != kExitNotFound; })) {
        return kExitNotFound;
    }
    if (any([](const CommandOutcome* o) { return o->status == kExitFileErrors; })) {
        return kExitFileErrors;
    }
    return any([](const CommandOutcome* o) { return !succeeded(*o); }) ? kExitFailed : kExitDone;
}

}  // namespace

int runGang(const CliArguments& arguments, GangRun run) {
    const auto started = Clock::now();
    Shared shared{arguments, run, SharedLines(run.out), SharedLines(run.err),
                  GangRounds(run.ports.size())};
    std::vector<std::unique_ptr<Member>> members;
    for (const std::string& port : run.ports) {
        members.push_back(std::make_unique<Member>(shared, port));
    }
    for (auto& member : members) member->start();
    if (arguments.repeat) feedRounds(shared);
    for (auto& member : members) member->join();

    std::vector<const CommandOutcome*> outcomes;
    for (const auto& member : members) {
        if (member->outcome()) outcomes.push_back(&*member->outcome());
    }
    const bool interrupted = run.interrupted && run.interrupted();
    const int status = statusOf(outcomes, interrupted);
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (arguments.json) {
        for (const CommandOutcome* outcome : outcomes) {
            shared.out.write(summaryJson(outcome->summary) + '\n');
        }
    }
    const Summary total = totalOf(arguments, outcomes, status, seconds);
    shared.out.write((arguments.json ? summaryJson(total) : summaryText(total)) + '\n');
    return status;
}
