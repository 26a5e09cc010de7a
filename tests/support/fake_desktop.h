#pragma once

#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "base/message_pump.h"
#include "base/system_services.h"

// A message pump whose clock moves only when someone waits or sleeps.
class ManualPump : public MessagePump {
  public:
    std::uint32_t now = 0;
    std::uint32_t sleptMs = 0;
    std::deque<std::function<void()>> queue;
    // Off: every wait lets its whole time pass and timers tick only when a test
    // calls them. On: a wait ends at once while calls are queued, else moves the
    // clock to the next timer that falls due within it and queues that tick, as
    // a real loop does; so a silent peer shows up as time passing.
    bool runsTimers = false;

    void processPending() override;
    void waitNext(std::uint32_t maxMs) override;
    std::uint32_t tick() override { return now; }
    void sleep(std::uint32_t ms) override {
        sleptMs += ms;
        passTime(ms);
    }

    // A timer whose tick action the test calls itself (or the pump, with runsTimers).
    struct ManualTimer : Timer {
        std::uint32_t ms = 0;
        bool on = false;
        std::function<void()> onTick;
        // Time since the timer was started or last ticked; like a real timer,
        // a new interval or a stop and start begins the count again.
        std::uint32_t elapsed = 0;
        std::weak_ptr<std::vector<ManualTimer*>> live;

        ~ManualTimer() override;
        void setInterval(std::uint32_t value) override {
            ms = value;
            elapsed = 0;
        }
        std::uint32_t interval() const override { return ms; }
        void setEnabled(bool value) override {
            if (value && !on) elapsed = 0;
            on = value;
        }
        bool enabled() const override { return on; }
    };

  protected:
    void schedule(std::function<void()> call) override { queue.push_back(std::move(call)); }
    std::unique_ptr<Timer> makeTimer(std::function<void()> onTick) override;

  private:
    void passTime(std::uint32_t ms);

    // The timers this pump made that still exist.
    std::shared_ptr<std::vector<ManualTimer*>> timers_ =
        std::make_shared<std::vector<ManualTimer*>>();
};

class FakeBeeper : public Beeper {
  public:
    int beeps = 0;
    void beep() override { ++beeps; }
};

class FakeDialogs : public Dialogs {
  public:
    std::vector<std::string> errors;
    std::vector<std::pair<std::string, std::string>> questions;  // text, title
    std::vector<Default> defaults;                               // of each question
    std::vector<std::string> informs;
    bool answerYes = true;
    // What happens while a question or a message is open: the loop runs on.
    std::function<void()> whileAsking;
    std::function<void()> whileInforming;
    std::optional<std::string> fileToOpen;
    std::string lastInitialFolder;
    std::string lastFilters;

    void showError(const std::string& text) override { errors.push_back(text); }
    bool confirm(const std::string& text, const std::string& title,
                 Default defaultButton) override {
        questions.emplace_back(text, title);
        defaults.push_back(defaultButton);
        if (whileAsking) whileAsking();
        return answerYes;
    }
    void inform(const std::string& text) override {
        informs.push_back(text);
        if (whileInforming) whileInforming();
    }
    std::optional<std::string> openFile(const std::string& initialFolder,
                                        const std::string& filters) override {
        lastInitialFolder = initialFolder;
        lastFilters = filters;
        return fileToOpen;
    }
};

class FakeSystemServices : public SystemServices {
  public:
    std::string exePath = "/opt/telvarn/Telvarn";
    std::vector<std::string> openedUrls;
    struct Started {
        std::string path;
        std::vector<std::string> args;
        bool hidden;
    };
    std::vector<Started> started;
    bool quitRequested = false;

    std::string executablePath() override { return exePath; }
    void openUrl(const std::string& url) override { openedUrls.push_back(url); }
    void startProcess(const std::string& path, const std::vector<std::string>& args,
                      bool hidden) override {
        started.push_back({path, args, hidden});
    }
    void requestQuit() override { quitRequested = true; }
};
