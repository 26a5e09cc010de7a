#pragma once

#include <QElapsedTimer>
#include <memory>

#include "base/message_pump.h"

class QObject;

// The message pump over Qt's event loop of the one user-interface thread.
class QtMessagePump : public MessagePump {
  public:
    QtMessagePump();
    ~QtMessagePump() override;
    QtMessagePump(const QtMessagePump&) = delete;
    QtMessagePump& operator=(const QtMessagePump&) = delete;

    void processPending() override;
    void waitNext(std::uint32_t maxMs) override;
    std::uint32_t tick() override;
    void sleep(std::uint32_t ms) override;
    // True once the application is on its way out, so that long waits give up.
    bool terminating() override;

    // The window's close and the application's quit call this.
    void requestTermination() { terminationRequested_ = true; }

  protected:
    void schedule(std::function<void()> call) override;
    std::unique_ptr<Timer> makeTimer(std::function<void()> onTick) override;

  private:
    // Calls posted to it die with the pump instead of running after it.
    std::unique_ptr<QObject> context_;
    QElapsedTimer clock_;
    bool terminationRequested_ = false;
};
