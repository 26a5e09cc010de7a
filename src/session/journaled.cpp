#include "session/journaled.h"

std::string phaseName(ChipPhase phase) {
    switch (phase) {
        case ChipPhase::Done:
            return "";
        case ChipPhase::Load:
            return "load";
        case ChipPhase::Verify:
            return "verify";
        case ChipPhase::Progmode:
            return "progmode";
    }
    return "";
}

std::string phaseName(FlashResult result) {
    switch (result) {
        case FlashResult::Flashed:
            return "";
        case FlashResult::FileUnusable:
            return "file";
        case FlashResult::Failed:
            return "flash";
    }
    return "";
}
