#pragma once

#include <functional>
#include <string>

#include "base/timer.h"
#include "link/programmer_link.h"
#include "window/log.h"
#include "window/status_line.h"

// What the firmware update needs of the window.
struct FirmwareUpdateContext {
    ProgrammerLink& link;
    Log& log;
    StatusLine& status;
    Timer& timerProg;
    std::string firmwarePath;            // the firmware file beside the program
    std::function<void()> repaint;       // paints the window at once
    std::function<void()> onUpdated;     // after a successful update (AUTOEXIT)
};

// Flashes "Telvarn-1_APPL.cbin" through the programmer's bootloader.
class FirmwareUpdate {
public:
    explicit FirmwareUpdate(FirmwareUpdateContext context);

    // One tick of TimerProg.
    void TimerProgTimer();

private:
    FirmwareUpdateContext c_;
};
