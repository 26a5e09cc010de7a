#pragma once

#include <chrono>
#include <ctime>
#include <functional>
#include <string>

#include "base/local_time.h"
#include "base/text.h"
#include "chip/chip_operation.h"
#include "control/firmware_flash.h"
#include "session/journal.h"

// The journal's names of the steps an operation failed at; empty when it
// succeeded.
std::string phaseName(ChipPhase phase);
std::string phaseName(FlashResult result);

// A check names only itself when it fails.
inline auto checkPhase(const char* name) {
    return [name](bool passed) { return std::string(passed ? "" : name); };
}

// Runs the operation and, with a journal, appends its row once it ends:
// phaseOf names the step its outcome failed at, empty when it succeeded. An
// escaping error (a port that failed, the operator's Ctrl+C) ends it at the
// port and goes on escaping.
template <class Operation, class PhaseOf>
auto journaled(Journal* journal, const std::function<bool()>& cancelled, JournalRow row,
               Operation operation, PhaseOf phaseOf) {
    if (journal == nullptr) return operation();
    row.time = localTimeText(std::time(nullptr));
    const auto start = std::chrono::steady_clock::now();
    const auto append = [&](const std::string& result, const std::string& phase) {
        const std::chrono::duration<double> elapsed = std::chrono::steady_clock::now() - start;
        row.result = result;
        row.phase = phase;
        row.seconds = secondsText(elapsed.count());
        journal->append(row);
    };
    try {
        auto outcome = operation();
        const std::string phase = phaseOf(outcome);
        append(phase.empty() ? "ok" : "failed", phase);
        return outcome;
    } catch (...) {
        append(cancelled && cancelled() ? "cancelled" : "failed", "port");
        throw;
    }
}
