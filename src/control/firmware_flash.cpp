#include "control/firmware_flash.h"

#include <algorithm>
#include <optional>
#include <span>
#include <vector>

#include "base/file_path.h"
#include "base/text.h"
#include "control/firmware_file.h"

namespace {

const std::string kFileName = kFirmwareName;
const std::string kProgramming = "Программирование...";
const std::string kProgrammed = "Программирование завершено";

// Progress of the page at offset, as whole percent of the pages to send.
std::uint32_t percentage(std::uint32_t offset, std::uint32_t loaded) {
    const std::uint32_t pages = std::max<std::uint32_t>(loaded, 256) / 256;
    return (offset / 256) * 100 / pages;
}

class FirmwareFlash {
  public:
    FirmwareFlash(ProgrammerLink& link, Report& report, const std::function<void()>& beforePage)
        : link_(link), report_(report), beforePage_(beforePage) {}

    FlashResult run(const std::string& path) {
        std::vector<std::uint8_t> image(kFirmwareImageSize, 0xFF);
        // The file is read before the reset: a file that cannot be flashed
        // leaves the programmer's running application alone.
        const auto loaded = load(path, image);
        if (!loaded) return FlashResult::FileUnusable;

        link_.ResetPulse();
        report_.line("Загружено " + decimal(static_cast<long long>(loaded->loaded)) +
                     " байт из файла " + kFileName);
        if (loaded->truncated) {
            report_.line("Обрезано до " + decimal(static_cast<long long>(kFirmwareLimit)) +
                         " байт");
        }
        if (!link_.erase()) {
            report_.line("Ошибка стирания основного приложения");
            return FlashResult::Failed;
        }
        report_.line("Основное приложение стерто");
        report_.line(kProgramming);
        if (!programPages(image, loaded->loaded)) {
            report_.line("Ошибка программирования");
            return FlashResult::Failed;
        }
        finish();
        return FlashResult::Flashed;
    }

  private:
    std::optional<FirmwareLoad> load(const std::string& path, std::span<std::uint8_t> image) {
        const FirmwareLoad loaded = loadFirmware(pathFromUtf8(path), image);
        if (loaded.readable && loaded.loaded > 0) return loaded;
        if (!loaded.readable) {
            report_.line("Ошибка чтения файла " + kFileName);
        } else {
            // Erasing for an empty file would leave the programmer with no
            // application at all, so the flash stops here.
            report_.line("Файл " + kFileName + " пустой");
            report_.line("Загружено 0 байт из файла " + kFileName);
        }
        return std::nullopt;
    }

    bool programPages(std::span<const std::uint8_t> image, std::size_t loaded) {
        bool result = true;
        const auto n = static_cast<std::uint32_t>(loaded);
        for (std::uint32_t offset = 0; offset < n; offset += kFirmwarePageSize) {
            if (beforePage_) beforePage_();
            if (link_.prog(image, offset)) {
                report_.progress("Программирование " + decimal(percentage(offset, n)) + "%");
            } else {
                report_.line("Ошибка записи страницы " + decimal(offset / kFirmwarePageSize));
                result = false;
                // The programmer was unplugged and its port has closed: no later page
                // can go, and one line for each would bury the one that matters.
                if (!link_.isOpen()) break;
            }
        }
        return result;
    }

    void finish() {
        report_.takeBack(kProgramming);
        report_.line(kProgrammed);
        report_.progress(kProgrammed);
        if (link_.runapp()) report_.line("Запуск основного приложения : OK");
        link_.Beep();
    }

    ProgrammerLink& link_;
    Report& report_;
    const std::function<void()>& beforePage_;
};

}  // namespace

FlashResult flashFirmware(ProgrammerLink& link, Report& report, const std::string& path,
                          const std::function<void()>& beforePage) {
    return FirmwareFlash(link, report, beforePage).run(path);
}
