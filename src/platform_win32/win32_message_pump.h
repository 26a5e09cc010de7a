#pragma once

#include <cstdint>
#include <functional>
#include <memory>

#include "base/message_pump.h"

struct tagMSG;  // MSG of <windows.h>, kept out of this header
struct Win32PumpState;

// The message pump over the thread's Win32 message queue. Posted calls and
// timers live on a hidden message-only window of the pump's own; everything
// else the queue holds (the main window, the sockets' notifications) is
// dispatched to its window as it comes. Like the window, it belongs to the
// thread that made it: other threads post to a window of their own.
class Win32MessagePump : public MessagePump {
  public:
    // Asked first for every message the loop takes; true swallows it. The
    // window's accelerators and dialog navigation go here.
    using MessageFilter = std::function<bool(tagMSG& message)>;

    Win32MessagePump();
    ~Win32MessagePump() override;
    Win32MessagePump(const Win32MessagePump&) = delete;
    Win32MessagePump& operator=(const Win32MessagePump&) = delete;

    // Dispatches what is waiting now. Calls posted meanwhile wait for the next
    // round, so that a call that posts itself again cannot hold the loop.
    void processPending() override;
    void waitNext(std::uint32_t maxMs) override;
    std::uint32_t tick() override;
    void sleep(std::uint32_t ms) override;
    // True once termination was asked for or the quit message was met.
    bool terminating() override;

    // The window's close and the application's quit call this.
    void requestTermination() { terminationRequested_ = true; }
    void setMessageFilter(MessageFilter filter) { filter_ = std::move(filter); }

    // The program's main loop: dispatches until the quit message, whose exit
    // code it returns.
    int run();

  protected:
    void schedule(std::function<void()> call) override;
    std::unique_ptr<Timer> makeTimer(std::function<void()> onTick) override;

  private:
    void dispatch(tagMSG& message);

    // Shared with the timers handed out, which may outlive the pump.
    std::shared_ptr<Win32PumpState> state_;
    MessageFilter filter_;
    bool terminationRequested_ = false;
    bool quitReceived_ = false;
    int exitCode_ = 0;
};
