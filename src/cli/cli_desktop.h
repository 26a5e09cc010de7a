#pragma once

#include <optional>
#include <string>

#include "base/system_services.h"

// The window's questions, answered by the command line: nothing waits for a
// person. "Вы уверены?" is answered by burn's --yes, a file dialog has no
// file to give (the command names it), and errors are the caller's to report
// as they escape.
class CliDialogs : public Dialogs {
  public:
    explicit CliDialogs(bool confirmed) : confirmed_(confirmed) {}

    void showError(const std::string&) override {}
    bool confirm(const std::string&, const std::string&) override { return confirmed_; }
    void inform(const std::string&) override {}
    std::optional<std::string> openFile(const std::string&, const std::string&) override {
        return std::nullopt;
    }

  private:
    bool confirmed_;
};

// A bench reads the outcome from the log and the exit status; the window's
// beeps would only sound on the terminal of whoever started the script.
class QuietBeeper : public Beeper {
  public:
    void beep() override {}
};
