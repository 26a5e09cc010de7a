#include "cli/cli_output.h"

namespace {

constexpr const char* kClearLine = "\r\x1b[K";
constexpr const char* kUpAndClearLine = "\x1b[1A\r\x1b[K";

}  // namespace

CliOutput::CliOutput(std::ostream& out, std::ostream& err, Terminals terminals)
    : out_(out), err_(err), terminals_(terminals) {}

void CliOutput::follow(Log& log, StatusLine& status) {
    subscribe(log.appended, [this](const auto& line) { logLine(std::string(line)); });
    subscribe(log.lastDeleted, [this] { takeBackLine(); });
    subscribe(status.changed, [this](const auto& text) { progress(std::string(text)); });
}

void CliOutput::logLine(const std::string& line) {
    if (terminals_.out) return writeLine(line);
    if (heldBack_) writeLine(*heldBack_);
    heldBack_ = line;
}

void CliOutput::takeBackLine() {
    if (!terminals_.out) {
        heldBack_.reset();
        return;
    }
    clearProgress();
    out_ << kUpAndClearLine << std::flush;
    drawProgress();
}

void CliOutput::writeLine(const std::string& line) {
    clearProgress();
    out_ << line << '\n' << std::flush;
    drawProgress();
}

void CliOutput::progress(const std::string& text) {
    if (!terminals_.err || text == progress_) return;
    progress_ = text;
    clearProgress();
    drawProgress();
}

void CliOutput::clearProgress() {
    if (!progressShown_) return;
    err_ << kClearLine << std::flush;
    progressShown_ = false;
}

void CliOutput::drawProgress() {
    if (!terminals_.err || progress_.empty()) return;
    err_ << progress_ << std::flush;
    progressShown_ = true;
}

void CliOutput::message(const std::string& text) {
    finish();
    err_ << text << '\n' << std::flush;
}

void CliOutput::summary(const Summary& summary, bool json) {
    finish();
    out_ << (json ? summaryJson(summary) : summaryText(summary)) << '\n' << std::flush;
}

void CliOutput::finish() {
    if (heldBack_) {
        const std::string line = std::move(*heldBack_);
        heldBack_.reset();
        writeLine(line);
    }
    clearProgress();
    progress_.clear();
}
