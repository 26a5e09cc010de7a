#include "base/message_pump.h"

void MessagePump::post(std::function<void()> call) {
    schedule([guard = guard_, call = std::move(call)] { guard->run(call); });
}

std::unique_ptr<Timer> MessagePump::createTimer(std::function<void()> onTick) {
    return makeTimer([guard = guard_, onTick = std::move(onTick)] { guard->run(onTick); });
}

std::uint32_t waitPumping(MessagePump& pump, std::uint32_t ms) {
    const std::uint32_t start = pump.tick();
    for (;;) {
        std::uint32_t elapsed = pump.tick() - start;
        if (elapsed >= ms) return elapsed;
        pump.processPending();
        elapsed = pump.tick() - start;
        if (elapsed >= ms) return elapsed;
        // Sleeping on the loop until the next message keeps the processor idle.
        pump.waitNext(ms - elapsed);
    }
}
