#pragma once

#include <QElapsedTimer>

#include "base/message_pump.h"

// The message pump over Qt's event loop of the one user-interface thread.
class QtMessagePump : public MessagePump {
  public:
    QtMessagePump();

    void processPending() override;
    void waitNext(std::uint32_t maxMs) override;
    void post(std::function<void()> call) override;
    std::uint32_t tick() override;
    void sleep(std::uint32_t ms) override;
    std::unique_ptr<Timer> createTimer(std::function<void()> onTick) override;
    // True once the application is on its way out, so that long waits give up.
    bool terminating() override;

    // The window's close and the application's quit call this.
    void requestTermination() { terminationRequested_ = true; }

  private:
    QElapsedTimer clock_;
    bool terminationRequested_ = false;
};
