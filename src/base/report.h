#pragma once

#include <string>
#include <string_view>

// What an operation tells the operator while it runs: lines for the log, and
// its progress for the status line. The window shows them in its log and
// status bar; the command line prints them.
class Report {
  public:
    virtual void line(std::string_view text) = 0;
    virtual void progress(const std::string& text) = 0;
    // Takes back the last line when it is this one (a "working..." line that
    // its outcome replaces).
    virtual void takeBack(std::string_view text) = 0;

  protected:
    ~Report() = default;
};
