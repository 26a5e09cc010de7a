#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/timer.h"

// The one-thread message loop as the core sees it.
class MessagePump {
  public:
    virtual ~MessagePump() = default;

    // Dispatches every message that is waiting now.
    virtual void processPending() = 0;
    // Blocks until a message arrives or maxMs pass, without dispatching it.
    virtual void waitNext(std::uint32_t maxMs) = 0;
    // Runs the call later from the loop.
    virtual void post(std::function<void()> call) = 0;
    // Millisecond tick; wraps around at 2^32.
    virtual std::uint32_t tick() = 0;
    // Blocks the thread without processing messages.
    virtual void sleep(std::uint32_t ms) = 0;
    virtual std::unique_ptr<Timer> createTimer(std::function<void()> onTick) = 0;
    // True once the application has been asked to end: long waits give up.
    virtual bool terminating() { return false; }
};

// Waits ms on the tick while dispatching messages; returns the time that passed.
// Correct across a wrap of the tick, since the difference is taken unsigned.
std::uint32_t waitPumping(MessagePump& pump, std::uint32_t ms);
