#pragma once

#include <string>
#include <vector>

#include "base/report.h"

// A report that keeps what an operation told, for tests below the window.
class RecordedReport final : public Report {
  public:
    void line(std::string_view text) override { lines_.emplace_back(text); }
    void progress(const std::string& text) override { progresses_.push_back(text); }
    void takeBack(std::string_view text) override {
        if (!lines_.empty() && lines_.back() == text) lines_.pop_back();
    }

    const std::vector<std::string>& lines() const { return lines_; }
    // The status line's text now, and every text it showed.
    std::string progress() const { return progresses_.empty() ? "" : progresses_.back(); }
    const std::vector<std::string>& progresses() const { return progresses_; }
    void clear() { lines_.clear(); }

  private:
    std::vector<std::string> lines_;
    std::vector<std::string> progresses_;
};
