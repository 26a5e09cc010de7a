#include "update/firmware_update.h"

#include <algorithm>
#include <system_error>
#include <vector>

#include "base/file_path.h"
#include "base/text.h"

namespace {

const std::string kFileName = kFirmwareName;
const std::string kProgramming = "Программирование...";
const std::string kProgrammed = "Программирование завершено";

// Progress of the page at offset, as whole percent of the pages to send.
std::uint32_t percentage(std::uint32_t offset, std::uint32_t loaded) {
    const std::uint32_t pages = std::max<std::uint32_t>(loaded, 256) / 256;
    return (offset / 256) * 100 / pages;
}

}  // namespace

FirmwareUpdate::FirmwareUpdate(FirmwareUpdateContext context)
    : c_(std::move(context)), file_(pathFromUtf8(c_.firmwarePath)) {}

void FirmwareUpdate::TimerProgTimer() {
    std::error_code error;
    if (!std::filesystem::exists(file_, error)) {
        quietFor_.reset();
        return;
    }
    if (!c_.link.isOpen()) return;
    if (quietFor_ && stampOf(file_).value_or(FileStamp{}) == *quietFor_) return;
    quietFor_.reset();

    // TimerProg stays off while an update runs, so that no tick starts a second
    // one inside it. An error that escapes leaves it off: the operator sees the
    // error once, instead of a new message box every second.
    c_.timerProg.setEnabled(false);
    const bool updated = update();
    c_.timerProg.setEnabled(true);
    // After the timer is back: closing the window here may end the program.
    if (updated && c_.onUpdated) c_.onUpdated();
}

bool FirmwareUpdate::update() {
    std::vector<std::uint8_t> image(kFirmwareImageSize, 0xFF);
    // The file is read before the reset: a file that cannot be flashed leaves
    // the programmer's running application alone.
    const auto loaded = load(image);
    if (!loaded) return false;

    c_.link.ResetPulse();
    c_.log.append("Загружено " + decimal(static_cast<long long>(loaded->loaded)) +
                  " байт из файла " + kFileName);
    if (loaded->truncated) {
        c_.log.append("Обрезано до " + decimal(static_cast<long long>(kFirmwareLimit)) + " байт");
    }
    if (!c_.link.erase()) {
        c_.log.append("Ошибка стирания основного приложения");
        return false;
    }
    c_.log.append("Основное приложение стерто");
    c_.log.append(kProgramming);
    if (!programPages(image, loaded->loaded)) {
        c_.log.append("Ошибка программирования");
        return false;
    }
    finish();
    return true;
}

std::optional<FirmwareLoad> FirmwareUpdate::load(std::span<std::uint8_t> image) {
    const FirmwareLoad loaded = loadFirmware(file_, image);
    if (loaded.readable && loaded.loaded > 0) return loaded;
    if (!loaded.readable) {
        c_.log.append("Ошибка чтения файла " + kFileName);
    } else {
        // Erasing for an empty file would leave the programmer with no
        // application at all, so the update stops here.
        c_.log.append("Файл " + kFileName + " пустой");
        c_.log.append("Загружено 0 байт из файла " + kFileName);
    }
    keepQuiet();
    return std::nullopt;
}

bool FirmwareUpdate::programPages(std::span<const std::uint8_t> image, std::size_t loaded) {
    bool result = true;
    const auto n = static_cast<std::uint32_t>(loaded);
    for (std::uint32_t offset = 0; offset < n; offset += kFirmwarePageSize) {
        if (c_.repaint) c_.repaint();
        if (c_.link.prog(image, offset)) {
            c_.status.setText("Программирование " + decimal(percentage(offset, n)) + "%");
        } else {
            c_.log.append("Ошибка записи страницы " + decimal(offset / kFirmwarePageSize));
            result = false;
            // The programmer was unplugged and its port has closed: no later page can go,
            // and one line for each would bury the one that matters.
            if (!c_.link.isOpen()) break;
        }
    }
    return result;
}

void FirmwareUpdate::finish() {
    if (!c_.log.lines().empty() && c_.log.lines().back() == kProgramming) c_.log.deleteLast();
    c_.log.append(kProgrammed);
    c_.status.setText(kProgrammed);
    if (c_.link.runapp()) c_.log.append("Запуск основного приложения : OK");
    std::error_code error;
    std::filesystem::remove(file_, error);
    if (error) {
        // A file left behind would be flashed again every second.
        c_.log.append("Ошибка удаления файла " + kFileName);
        keepQuiet();
    }
    c_.link.Beep();
}

void FirmwareUpdate::keepQuiet() {
    // A file whose stamp cannot be read is kept quiet under an empty stamp,
    // which no readable file has.
    quietFor_ = stampOf(file_).value_or(FileStamp{});
}
