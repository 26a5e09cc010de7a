#include "support/fake_desktop.h"

#include <algorithm>

void ManualPump::processPending() {
    while (!queue.empty()) {
        auto call = std::move(queue.front());
        queue.pop_front();
        call();
    }
}

void ManualPump::waitNext(std::uint32_t maxMs) {
    if (!runsTimers) {
        // Nothing arrives from outside: the whole wait passes.
        now += maxMs;
        return;
    }
    if (!queue.empty()) return;
    ManualTimer* due = nullptr;
    std::uint32_t wait = maxMs;
    for (ManualTimer* timer : *timers_) {
        if (!timer->on) continue;
        const std::uint32_t left = timer->ms - std::min(timer->elapsed, timer->ms);
        if (left <= wait) {
            wait = left;
            due = timer;
        }
    }
    passTime(wait);
    if (due == nullptr) return;
    due->elapsed = 0;
    // The tick runs from the queue and only if the timer still exists and runs then.
    queue.push_back([live = std::weak_ptr(timers_), due] {
        const auto timers = live.lock();
        if (!timers || std::find(timers->begin(), timers->end(), due) == timers->end()) return;
        if (due->on) due->onTick();
    });
}

void ManualPump::passTime(std::uint32_t ms) {
    now += ms;
    if (!runsTimers) return;
    for (ManualTimer* timer : *timers_) {
        if (timer->on) timer->elapsed += ms;
    }
}

std::unique_ptr<Timer> ManualPump::makeTimer(std::function<void()> onTick) {
    auto timer = std::make_unique<ManualTimer>();
    timer->onTick = std::move(onTick);
    timer->live = timers_;
    timers_->push_back(timer.get());
    return timer;
}

ManualPump::ManualTimer::~ManualTimer() {
    if (const auto timers = live.lock()) std::erase(*timers, this);
}
