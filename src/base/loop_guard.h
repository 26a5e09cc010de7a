#pragma once

#include <functional>
#include <string>

// Where an error ends that escapes a call the message loop makes into the core
// (a menu command, a timer tick, a posted call, a socket notification): it is
// reported, by the window as a message box, and the loop goes on. Nothing may
// unwind into the window system's own event dispatch.
class LoopGuard {
  public:
    using Report = std::function<void(const std::string& text)>;

    // Without a report the text goes to standard error.
    void reportTo(Report report) { report_ = std::move(report); }
    void run(const std::function<void()>& call) noexcept;

  private:
    void report(const std::string& text) noexcept;

    Report report_;
};
