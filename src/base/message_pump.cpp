#include "base/message_pump.h"

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
