#pragma once

#include <string>
#include <vector>

#include "base/report.h"

// A report that keeps what an operation told, for tests below the window.
class RecordedReport final : public Report {
  public:
    void line(std::string_view text) override { lines_.emplace_back(text); }
    void progress(const std::string& text) override { progress_ = text; }

    const std::vector<std::string>& lines() const { return lines_; }
    const std::string& progress() const { return progress_; }
    void clear() { lines_.clear(); }

  private:
    std::vector<std::string> lines_;
    std::string progress_;
};
