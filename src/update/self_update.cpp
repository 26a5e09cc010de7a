#include "update/self_update.h"

#include "base/text.h"
#include "update/file_checksum.h"
#include "update/update_files.h"
#include "update/update_menu.h"

namespace {

// Puts the client back on the version file however the download ends: a
// download is the operator's choice, never the next tick's.
class DownloadAddress {
  public:
    DownloadAddress(THttpCli& client, const std::string& download, const std::string& version)
        : client_(client), version_(version) {
        client_.URL = download;
    }
    ~DownloadAddress() { client_.URL = version_; }
    DownloadAddress(const DownloadAddress&) = delete;
    DownloadAddress& operator=(const DownloadAddress&) = delete;

  private:
    THttpCli& client_;
    const std::string& version_;
};

}  // namespace

void SelfUpdate::request() {
    if (!c_.dialogs.confirm(releaseNotes(), c_.channel.confirmCaption)) return;
    setItem(false);
    answered_ = false;
    {
        const DownloadAddress address(c_.client, c_.downloadUrl, c_.versionUrl);
        try {
            c_.client.Get();
        } catch (const EHttpException&) {
            // Told below, unless the download's end has told its outcome already.
        }
    }
    // A request that failed, or one that ended without the file (no body, a
    // 304, a close before any answer): the operator may ask again.
    if (!answered_) {
        c_.log.append(c_.channel.downloadFailure);
        setItem(true);
    }
}

// Every line after the checksum line, each ended by a line feed.
std::string SelfUpdate::releaseNotes() const {
    std::string notes;
    for (std::size_t i = 1; i < c_.lines.size(); ++i) notes += c_.lines[i] + "\n";
    return notes;
}

void SelfUpdate::setItem(bool enabled) {
    c_.item.setEnabled(enabled);
    applyUpdateMenuRule(c_.menu);
}

void SelfUpdate::downloadEnded(bool stored) {
    answered_ = true;
    const bool matches = stored && checksumMatches();
    c_.beeper.beep();
    if (!matches) {
        // A download that fails the test is never installed.
        c_.log.append(c_.channel.checksumFailure);
        removeFile(c_.localFile);
        if (c_.channel.kind == UpdateChannel::Kind::Firmware) setItem(true);
        return;
    }
    if (c_.channel.kind == UpdateChannel::Kind::Program) {
        installProgram();
    } else {
        handOverFirmware();
    }
}

// Byte for byte with the version file's line: lower-case digits never match.
bool SelfUpdate::checksumMatches() const {
    const auto crc = wholeFileCrc32(c_.localFile);
    return crc && !c_.lines.empty() && hexLong(*crc) == c_.lines[0];
}

// The saved copy, started with "PAUSE", puts the download in place of the
// program once this instance has ended, and starts it.
void SelfUpdate::installProgram() {
    c_.log.append("Загрузка обновления завершена");
    c_.dialogs.inform(
        "Загрузка обновления завершена. Программа будет перезапущена.\n"
        "Старая версия программы будет сохранена как " +
        c_.targets.savedCopyName);
    removeFile(c_.targets.savedCopyFile);
    copyReplacing(c_.targets.programFile, c_.targets.savedCopyFile);
    waitPumping(c_.pump, 5000);
    try {
        c_.system.startProcess(c_.targets.savedCopyFile, {"PAUSE"}, true);
    } catch (const std::exception&) {
        // The window closes all the same; the download stays in the local file.
    }
    c_.closeWindow();
}

void SelfUpdate::handOverFirmware() {
    c_.log.append("Загрузка обновления прошивки завершена");
    c_.dialogs.inform("Загрузка обновления прошивки завершена.");
    // An older firmware file already waiting is kept; the download stays where it is.
    moveWithoutReplacing(c_.localFile, c_.targets.firmwareFile);
}
