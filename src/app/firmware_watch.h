#pragma once

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

#include "base/timer.h"
#include "session/programmer_session.h"
#include "control/firmware_file.h"

// The window's watch for a firmware file beside the program: each tick of
// TimerProg flashes one that has appeared while the link is open, and
// deletes it once flashed, so that it is flashed once.
class FirmwareWatch {
  public:
    // repaint paints the window at once (it does not process messages while
    // flashing); onUpdated runs after a successful update (AUTOEXIT).
    FirmwareWatch(ProgrammerSession& session, Timer& timerProg, const std::string& firmwarePath,
                  std::function<void()> repaint, std::function<void()> onUpdated);

    // One tick of TimerProg.
    void TimerProgTimer();

  private:
    // Flashes the file and deletes it; true when every page was programmed.
    bool update();
    // Keeps this version of the file from being reported or flashed again.
    void keepQuiet();

    ProgrammerSession& session_;
    Timer& timerProg_;
    std::filesystem::path file_;
    std::string path_;
    std::function<void()> repaint_;
    std::function<void()> onUpdated_;
    // The file as it was when it was last found unusable; nothing else to say
    // about it until it changes.
    std::optional<FileStamp> quietFor_;
};
