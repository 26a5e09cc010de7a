#pragma once

#include <string>

#include "base/signal.h"

// The single text of the status bar.
class StatusLine {
  public:
    const std::string& text() const { return text_; }
    void setText(const std::string& text);

    Signal<const std::string&> changed;

  private:
    std::string text_;
};
