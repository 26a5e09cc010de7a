#pragma once

#include <functional>
#include <optional>
#include <span>
#include <string>

#include "base/timer.h"
#include "link/programmer_link.h"
#include "update/firmware_file.h"
#include "window/log.h"
#include "window/status_line.h"

// What the firmware update needs of the window.
struct FirmwareUpdateContext {
    ProgrammerLink& link;
    Log& log;
    StatusLine& status;
    Timer& timerProg;
    std::string firmwarePath;         // the firmware file beside the program
    std::function<void()> repaint;    // paints the window at once
    std::function<void()> onUpdated;  // after a successful update (AUTOEXIT)
};

// Flashes "Telvarn-1_APPL.cbin" through the programmer's bootloader.
class FirmwareUpdate {
  public:
    explicit FirmwareUpdate(FirmwareUpdateContext context);

    // One tick of TimerProg.
    void TimerProgTimer();

  private:
    // Everything between disabling and enabling TimerProg; true when every
    // page was programmed.
    bool update();
    // Reads the file into the image; reports an empty or unreadable file once.
    std::optional<FirmwareLoad> load(std::span<std::uint8_t> image);
    bool programPages(std::span<const std::uint8_t> image, std::size_t loaded);
    void finish();
    // Keeps this version of the file from being reported or flashed again.
    void keepQuiet();

    FirmwareUpdateContext c_;
    std::filesystem::path file_;
    // The file as it was when it was last found unusable; nothing else to say
    // about it until it changes.
    std::optional<FileStamp> quietFor_;
};
