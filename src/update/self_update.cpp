#include "update/self_update.h"

#include "base/file_crc32.h"
#include "base/text.h"
#include "update/release_signature.h"
#include "update/release_system.h"
#include "update/update_files.h"
#include "update/update_menu.h"

namespace {

const char* const kUnsignedNotice = "Подпись обновлений не проверяется";

// Each line of the release notes ended by a line feed.
std::string releaseNotes(const VersionFile& release) {
    std::string notes;
    for (const std::string& line : release.notes) notes += line + "\n";
    return notes;
}

}  // namespace

bool newerThanInstalled(std::int32_t version, std::int32_t installed) {
    return installed != -1 && version > installed;
}

std::string signedRelease(const UpdateChannel& channel, const std::string& versionLine) {
    std::string release = channel.productTag + " " + versionLine;
    if (channel.kind == UpdateChannel::Kind::Program) release += " " + std::string(kReleaseSystem);
    return release;
}

void SelfUpdate::request() {
    // The question's release: a version file that arrives while it is open
    // changes the offer, not what the operator says Yes to.
    const std::optional<VersionFile> shown = offered_;
    if (!c_.dialogs.confirm(shown ? releaseNotes(*shown) : std::string(),
                            c_.channel.confirmCaption)) {
        return;
    }
    if (!shown || !newerThanInstalled(shown->version, c_.installedVersion())) return;
    UpdateGate::Hold hold(c_.gate);
    download(*shown, hold);
}

void SelfUpdate::download(const VersionFile& release, UpdateGate::Hold& hold) {
    setItem(false);
    noteUnsignedOnce();
    const DownloadFetch::Arrival arrival = fetch_.download();
    if (arrival == DownloadFetch::Arrival::None) {
        // The operator may ask again.
        c_.log.append(c_.channel.downloadFailure);
        setItem(true);
        return;
    }
    if (arrival != DownloadFetch::Arrival::Stored || !checksumMatches(release)) {
        refuse(c_.channel.checksumFailure);
        return;
    }
    if (c_.trust.required() && !signatureVerifies(release)) {
        refuse(c_.channel.signatureFailure);
        return;
    }
    c_.beeper.beep();
    if (c_.channel.kind == UpdateChannel::Kind::Program) {
        // No check runs again before the restart: it would remove the download.
        hold.keep();
        installProgram();
    } else {
        handOverFirmware();
    }
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
bool SelfUpdate::checksumMatches(const VersionFile& release) const {
    const auto crc = fileCrc32(c_.localFile);
    return crc && hexLong(*crc) == release.checksum;
}

// Only the release the operator said Yes to: an older signed release served
// under a newer version number names another, and so does the program of
// another system.
bool SelfUpdate::signatureVerifies(const VersionFile& release) {
    const auto signature = fetch_.signature();
    return signature && releaseSignatureVerifies(c_.trust.keyLine, c_.localFile, *signature,
                                                 signedRelease(c_.channel, release.versionLine));
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
