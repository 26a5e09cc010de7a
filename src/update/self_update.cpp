#include "update/self_update.h"

#include "base/file_crc32.h"
#include "base/text.h"
#include "update/release_signature.h"
#include "update/update_files.h"
#include "update/update_menu.h"

namespace {

const char* const kUnsignedNotice = "Подпись обновлений не проверяется";

}  // namespace

void SelfUpdate::request() {
    if (!c_.dialogs.confirm(releaseNotes(), c_.channel.confirmCaption)) return;
    setItem(false);
    noteUnsignedOnce();
    const DownloadFetch::Arrival arrival = fetch_.download();
    if (arrival == DownloadFetch::Arrival::None) {
        // The operator may ask again.
        c_.log.append(c_.channel.downloadFailure);
        setItem(true);
        return;
    }
    if (arrival != DownloadFetch::Arrival::Stored || !checksumMatches()) {
        refuse(c_.channel.checksumFailure);
        return;
    }
    if (c_.trust.required() && !signatureVerifies()) {
        refuse(c_.channel.signatureFailure);
        return;
    }
    c_.beeper.beep();
    if (c_.channel.kind == UpdateChannel::Kind::Program) {
        installProgram();
    } else {
        handOverFirmware();
    }
}

// Each line of the release notes ended by a line feed.
std::string SelfUpdate::releaseNotes() const {
    std::string notes;
    if (offered_) {
        for (const std::string& line : offered_->notes) notes += line + "\n";
    }
    return notes;
}

void SelfUpdate::setItem(bool enabled) {
    c_.item.setEnabled(enabled);
    applyUpdateMenuRule(c_.menu);
}

void SelfUpdate::noteUnsignedOnce() {
    if (c_.trust.required() || c_.trust.unsignedNoticeGiven) return;
    c_.trust.unsignedNoticeGiven = true;
    c_.log.append(kUnsignedNotice);
}

void SelfUpdate::refuse(const std::string& line) {
    c_.beeper.beep();
    c_.log.append(line);
    removeFile(c_.localFile);
    if (c_.channel.kind == UpdateChannel::Kind::Firmware) setItem(true);
}

// Byte for byte with the version file's line: lower-case digits never match.
bool SelfUpdate::checksumMatches() const {
    const auto crc = fileCrc32(c_.localFile);
    return crc && offered_ && hexLong(*crc) == offered_->checksum;
}

// Only the release the version file offers: an older signed release served
// under a newer version number names another.
bool SelfUpdate::signatureVerifies() {
    if (!offered_) return false;
    const std::string release = c_.channel.productTag + " " + offered_->versionLine;
    const auto signature = fetch_.signature();
    return signature &&
           releaseSignatureVerifies(c_.trust.keyLine, c_.localFile, *signature, release);
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
