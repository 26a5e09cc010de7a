#pragma once

#include <deque>
#include <functional>
#include <map>
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

    void processPending() override;
    void waitNext(std::uint32_t maxMs) override;
    void post(std::function<void()> call) override { queue.push_back(std::move(call)); }
    std::uint32_t tick() override { return now; }
    void sleep(std::uint32_t ms) override {
        sleptMs += ms;
        now += ms;
    }
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;

    // A timer whose tick action the test calls itself.
    struct ManualTimer : Timer {
        std::uint32_t ms = 0;
        bool on = false;
        std::function<void()> onTick;
        void setInterval(std::uint32_t value) override { ms = value; }
        std::uint32_t interval() const override { return ms; }
        void setEnabled(bool value) override { on = value; }
        bool enabled() const override { return on; }
    };
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
    bool answerYes = true;
    std::optional<std::string> fileToOpen;
    std::string lastInitialFolder;
    std::string lastFilters;

    void showError(const std::string& text) override { errors.push_back(text); }
    bool confirm(const std::string& text, const std::string& title) override {
        questions.emplace_back(text, title);
        return answerYes;
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
