#pragma once

#include <cstdint>

// A window timer: ticks every interval while enabled, on the message loop.
class Timer {
  public:
    virtual ~Timer() = default;
    virtual void setInterval(std::uint32_t ms) = 0;
    virtual std::uint32_t interval() const = 0;
    virtual void setEnabled(bool on) = 0;
    virtual bool enabled() const = 0;
};
