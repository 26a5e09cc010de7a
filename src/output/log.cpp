#include "output/log.h"

void Log::append(std::string_view line) {
    lines_.push_back(line);
    appended(lines_.back());
}

void Log::clear() {
    lines_.clear();
    cleared();
}

void Log::deleteLast() {
    if (lines_.empty()) return;
    lines_.pop_back();
    lastDeleted();
}

void Log::setBackground(Rgb colour) {
    background_ = colour;
    backgroundChanged(colour);
}
