#include "update/self_update.h"

#include "base/file_crc32.h"
#include "base/text.h"
#include "update/release_signature.h"
#include "update/release_system.h"
#include "update/update_files.h"

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
    if (!desktop_.dialogs.confirm(shown ? releaseNotes(*shown) : std::string(),
                                  channel_.confirmCaption, Dialogs::Default::Yes)) {
        return;
    }
    if (!shown || !newerThanInstalled(shown->version, host_.installedVersion())) return;
    UpdateGate::Hold hold(shared_.gate);
    download(*shown, hold);
}

void SelfUpdate::download(const VersionFile& release, UpdateGate::Hold& hold) {
    host_.setDownloadable(false);
    noteUnsignedOnce();
    const DownloadHost::Arrival arrival = host_.download();
    if (arrival == DownloadHost::Arrival::None) {
        // The operator may ask again.
        report_.line(channel_.downloadFailure);
        host_.setDownloadable(true);
        return;
    }
    if (arrival != DownloadHost::Arrival::Stored || !checksumMatches(release)) {
        refuse(channel_.checksumFailure);
        return;
    }
    if (shared_.trust.required() && !signatureVerifies(release)) {
        refuse(channel_.signatureFailure);
        return;
    }
    desktop_.beeper.beep();
    if (channel_.kind == UpdateChannel::Kind::Program) {
        // No check runs again before the restart: it would remove the download.
        hold.keep();
        installProgram();
    } else {
        handOverFirmware();
    }
}

void SelfUpdate::noteUnsignedOnce() {
    if (shared_.trust.required() || shared_.trust.unsignedNoticeGiven) return;
    shared_.trust.unsignedNoticeGiven = true;
    report_.line(kUnsignedNotice);
}

void SelfUpdate::refuse(const std::string& line) {
    desktop_.beeper.beep();
    report_.line(line);
    removeFile(places_.localFile);
    if (channel_.kind == UpdateChannel::Kind::Firmware) host_.setDownloadable(true);
}

// Byte for byte with the version file's line: lower-case digits never match.
bool SelfUpdate::checksumMatches(const VersionFile& release) const {
    const auto crc = fileCrc32(places_.localFile);
    return crc && hexLong(*crc) == release.checksum;
}

// Only the release the operator said Yes to: an older signed release served
// under a newer version number names another, and so does the program of
// another system.
bool SelfUpdate::signatureVerifies(const VersionFile& release) {
    const auto signature = host_.signature();
    return signature && releaseSignatureVerifies(shared_.trust.keyLine, places_.localFile, *signature,
                                                 signedRelease(channel_, release.versionLine));
}

// The saved copy, started with "PAUSE", puts the download in place of the
// program once this instance has ended, and starts it.
void SelfUpdate::installProgram() {
    report_.line("Загрузка обновления завершена");
    desktop_.dialogs.inform(
        "Загрузка обновления завершена. Программа будет перезапущена.\n"
        "Старая версия программы будет сохранена как " +
        places_.targets.savedCopyName);
    removeFile(places_.targets.savedCopyFile);
    copyReplacing(places_.targets.programFile, places_.targets.savedCopyFile);
    waitPumping(desktop_.pump, 5000);
    try {
        desktop_.system.startProcess(places_.targets.savedCopyFile, {"PAUSE"}, true);
    } catch (const std::exception&) {
        // The window closes all the same; the download stays in the local file.
    }
    host_.requestRestart();
}

void SelfUpdate::handOverFirmware() {
    report_.line("Загрузка обновления прошивки завершена");
    desktop_.dialogs.inform("Загрузка обновления прошивки завершена.");
    // An older firmware file already waiting is kept; the download stays where it is.
    moveWithoutReplacing(places_.localFile, places_.targets.firmwareFile);
}
