#include "support/fake_desktop.h"

void ManualPump::processPending() {
    while (!queue.empty()) {
        auto call = std::move(queue.front());
        queue.pop_front();
        call();
    }
}

void ManualPump::waitNext(std::uint32_t maxMs) {
    // Nothing arrives from outside: the whole wait passes.
    now += maxMs;
}

std::unique_ptr<Timer> ManualPump::createTimer(std::function<void()> onTick) {
    auto timer = std::make_unique<ManualTimer>();
    timer->onTick = std::move(onTick);
    return timer;
}
