#include "platform/qt_message_pump.h"

#include <QCoreApplication>
#include <QThread>
#include <QTimer>

namespace {

class QtTimer : public Timer {
  public:
    explicit QtTimer(std::function<void()> onTick) {
        QObject::connect(&timer_, &QTimer::timeout, [onTick = std::move(onTick)] { onTick(); });
    }
    void setInterval(std::uint32_t ms) override { timer_.setInterval(static_cast<int>(ms)); }
    std::uint32_t interval() const override {
        return static_cast<std::uint32_t>(timer_.interval());
    }
    void setEnabled(bool on) override {
        if (on == timer_.isActive()) return;
        if (on) {
            timer_.start();
        } else {
            timer_.stop();
        }
    }
    bool enabled() const override { return timer_.isActive(); }

  private:
    QTimer timer_;
};

}  // namespace

QtMessagePump::QtMessagePump() : context_(std::make_unique<QObject>()) {
    clock_.start();
}

QtMessagePump::~QtMessagePump() = default;

void QtMessagePump::processPending() {
    QCoreApplication::processEvents(QEventLoop::AllEvents);
}

void QtMessagePump::waitNext(std::uint32_t maxMs) {
    // A single-shot timer bounds the wait; whatever arrives first wakes the loop.
    QTimer wake;
    wake.setSingleShot(true);
    wake.start(static_cast<int>(std::min<std::uint32_t>(maxMs, 0x7FFFFFFF)));
    QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
}

void QtMessagePump::schedule(std::function<void()> call) {
    QMetaObject::invokeMethod(context_.get(), std::move(call), Qt::QueuedConnection);
}

std::uint32_t QtMessagePump::tick() {
    return static_cast<std::uint32_t>(clock_.elapsed());
}

void QtMessagePump::sleep(std::uint32_t ms) {
    QThread::msleep(ms);
}

std::unique_ptr<Timer> QtMessagePump::makeTimer(std::function<void()> onTick) {
    return std::make_unique<QtTimer>(std::move(onTick));
}

bool QtMessagePump::terminating() {
    return terminationRequested_ || QCoreApplication::closingDown();
}
