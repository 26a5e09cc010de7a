#pragma once

#include "base/report.h"
#include "output/log.h"
#include "output/status_line.h"

// An operation's report as the operator reads it, in the window or on the command
// line: its lines in the log, its progress on the status line.
class OperatorReport final : public Report {
  public:
    OperatorReport(Log& log, StatusLine& status) : log_(log), status_(status) {}

    void line(std::string_view text) override { log_.append(text); }
    void progress(const std::string& text) override { status_.setText(text); }
    void takeBack(std::string_view text) override {
        if (!log_.lines().empty() && log_.lines().back() == text) log_.deleteLast();
    }

  private:
    Log& log_;
    StatusLine& status_;
};
