#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>
#include <type_traits>
#include <utility>
#include <vector>

#include "cli/summary.h"
#include "output/log.h"
#include "output/status_line.h"

// Where a run's text goes: the log lines to standard output, as the window
// shows them; the status line's text to standard error as one line rewritten
// in place, only on a terminal; messages and the summary.
class CliOutput {
  public:
    struct Terminals {
        bool out = false;  // standard output is a terminal
        bool err = false;  // standard error is a terminal
    };
    CliOutput(std::ostream& out, std::ostream& err, Terminals terminals);

    // Shows the log's lines and the status line's text from now on.
    void follow(Log& log, StatusLine& status);

    void logLine(const std::string& line);
    // The log took back its last line.
    void takeBackLine();
    void progress(const std::string& text);
    // A line of the front end's own on standard error (errors, prompts).
    void message(const std::string& text);
    void summary(const Summary& summary, bool json);
    // Puts out a line held back and clears the progress line.
    void finish();

  private:
    // Keeps what the subscription returns, when it returns anything, for as
    // long as this output lives: it must not be called once it is gone.
    template <typename Source, typename Slot>
    void subscribe(Source& signal, Slot slot) {
        using Subscription = decltype(signal.connect(std::move(slot)));
        if constexpr (std::is_void_v<Subscription>) {
            signal.connect(std::move(slot));
        } else {
            subscriptions_.push_back(
                std::make_shared<Subscription>(signal.connect(std::move(slot))));
        }
    }
    void writeLine(const std::string& line);
    void clearProgress();
    void drawProgress();

    std::ostream& out_;
    std::ostream& err_;
    Terminals terminals_;
    // Off a terminal a printed line cannot be taken back, so the last line
    // waits there until the next one comes or the run ends.
    std::optional<std::string> heldBack_;
    std::string progress_;
    bool progressShown_ = false;
    std::vector<std::shared_ptr<void>> subscriptions_;
};
