#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/loop_guard.h"
#include "base/timer.h"

// The one-thread message loop as the core sees it.
//
// Every call the loop makes into the core passes one guard. Posted calls and
// timer ticks pass it by construction: an implementation only schedules what
// it is given, already guarded. Other entry points (the window's menu
// commands, the socket's notifications) run through guarded().
class MessagePump {
  public:
    virtual ~MessagePump() = default;

    // Dispatches every message that is waiting now.
    virtual void processPending() = 0;
    // Blocks until a message arrives or maxMs pass, without dispatching it.
    virtual void waitNext(std::uint32_t maxMs) = 0;
    // Runs the call later from the loop.
    void post(std::function<void()> call);
    // Millisecond tick; wraps around at 2^32.
    virtual std::uint32_t tick() = 0;
    // Blocks the thread without processing messages.
    virtual void sleep(std::uint32_t ms) = 0;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick);
    // True once the application has been asked to end: long waits give up.
    virtual bool terminating() { return false; }

    // Runs a call from the loop: an error that escapes it goes to the report.
    void guarded(const std::function<void()>& call) noexcept { guard_->run(call); }
    // The window shows escaping errors in a message box; without a report
    // they go to standard error.
    void reportErrorsTo(LoopGuard::Report report) { guard_->reportTo(std::move(report)); }

  protected:
    virtual void schedule(std::function<void()> call) = 0;
    virtual std::unique_ptr<Timer> makeTimer(std::function<void()> onTick) = 0;

  private:
    // Shared with the calls and timers handed out, which may outlive the pump.
    std::shared_ptr<LoopGuard> guard_ = std::make_shared<LoopGuard>();
};

// Waits ms on the tick while dispatching messages; returns the time that passed.
// Correct across a wrap of the tick, since the difference is taken unsigned.
std::uint32_t waitPumping(MessagePump& pump, std::uint32_t ms);
