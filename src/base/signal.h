#pragma once

#include <functional>
#include <vector>

// A minimal observer list: models announce changes, views subscribe.
template <typename... Args>
class Signal {
  public:
    using Slot = std::function<void(Args...)>;

    void connect(Slot slot) { slots_.push_back(std::move(slot)); }

    void operator()(Args... args) const {
        for (const auto& slot : slots_) slot(args...);
    }

  private:
    std::vector<Slot> slots_;
};
