#include "base/loop_guard.h"

#include <cstdio>
#include <exception>

void LoopGuard::run(const std::function<void()>& call) noexcept {
    try {
        call();
    } catch (const std::exception& error) {
        report(error.what());
    } catch (...) {
        report("Unknown error");
    }
}

void LoopGuard::report(const std::string& text) noexcept {
    try {
        if (report_) {
            report_(text);
            return;
        }
    } catch (...) {
        // A report that fails itself still leaves a trace.
    }
    std::fprintf(stderr, "Telvarn: %s\n", text.c_str());
}
