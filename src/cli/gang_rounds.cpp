#include "cli/gang_rounds.h"

bool GangRounds::next() {
    std::unique_lock lock(mutex_);
    ++waiting_;
    changed_.notify_all();
    const std::uint64_t round = round_;
    changed_.wait(lock, [&] { return ended_ || round_ != round; });
    return round_ != round;
}

void GangRounds::leave() {
    const std::lock_guard lock(mutex_);
    --active_;
    changed_.notify_all();
}

bool GangRounds::awaitReady() {
    std::unique_lock lock(mutex_);
    changed_.wait(lock, [&] { return waiting_ == active_; });
    return active_ > 0;
}

void GangRounds::start() {
    const std::lock_guard lock(mutex_);
    waiting_ = 0;
    ++round_;
    changed_.notify_all();
}

void GangRounds::end() {
    const std::lock_guard lock(mutex_);
    ended_ = true;
    changed_.notify_all();
}
