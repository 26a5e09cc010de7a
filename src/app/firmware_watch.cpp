#include "app/firmware_watch.h"

#include <system_error>

#include "base/file_path.h"

FirmwareWatch::FirmwareWatch(ProgrammerSession& session, Timer& timerProg,
                             const std::string& firmwarePath, std::function<void()> repaint,
                             std::function<void()> onUpdated)
    : session_(session),
      timerProg_(timerProg),
      file_(pathFromUtf8(firmwarePath)),
      path_(firmwarePath),
      repaint_(std::move(repaint)),
      onUpdated_(std::move(onUpdated)) {}

void FirmwareWatch::TimerProgTimer() {
    std::error_code error;
    if (!std::filesystem::exists(file_, error)) {
        quietFor_.reset();
        return;
    }
    if (!session_.link().isOpen()) return;
    if (quietFor_ && stampOf(file_).value_or(FileStamp{}) == *quietFor_) return;
    quietFor_.reset();

    // TimerProg stays off while an update runs, so that no tick starts a second
    // one inside it. An error that escapes leaves it off: the operator sees the
    // error once, instead of a new message box every second.
    timerProg_.setEnabled(false);
    const bool updated = update();
    timerProg_.setEnabled(true);
    // After the timer is back: closing the window here may end the program.
    if (updated && onUpdated_) onUpdated_();
}

bool FirmwareWatch::update() {
    const FlashResult result = session_.flash(path_, repaint_);
    if (result == FlashResult::FileUnusable) keepQuiet();
    if (result != FlashResult::Flashed) return false;
    std::error_code error;
    std::filesystem::remove(file_, error);
    if (error) {
        // A file left behind would be flashed again every second.
        session_.report().line(std::string("Ошибка удаления файла ") + kFirmwareName);
        keepQuiet();
    }
    return true;
}

void FirmwareWatch::keepQuiet() {
    // A file whose stamp cannot be read is kept quiet under an empty stamp,
    // which no readable file has.
    quietFor_ = stampOf(file_).value_or(FileStamp{});
}
