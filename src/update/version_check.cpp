#include "update/version_check.h"

#include "update/release_signature.h"
#include "update/update_files.h"
#include "update/update_menu.h"
#include "update/version_file.h"

VersionCheck::VersionCheck(UpdateContext context)
    : c_(std::move(context)), download_(c_, *this), localFile_(c_.localFile) {
    c_.timer.setInterval(c_.channel.firstIntervalMs);
    c_.client.URL = c_.versionUrl;
    c_.client.OnDocBegin = [this](THttpCli&) { DocBegin(); };
    c_.client.OnDocEnd = [this](THttpCli&) { DocEnd(); };
}

void VersionCheck::TimerTick() {
    // A download on its way to being installed: this tick is skipped.
    if (!c_.gate.open()) return;
    if (c_.installedVersion() == -1) return;
    // Before the request, so that a failed one is tried again in 30 minutes.
    c_.timer.setInterval(kRepeatMs);
    try {
        c_.client.Get();
    } catch (const EHttpException&) {
        c_.log.append(c_.channel.checkFailure);
    }
}

void VersionCheck::DocBegin() {
    c_.client.RcvdStream = nullptr;
    memory_.reset();
    if (awaiting_ == Awaiting::Signature) {
        memory_ = std::make_unique<MemoryStream>(kSignatureFileLimit);
        c_.client.RcvdStream = memory_.get();
        return;
    }
    try {
        // A version file is a few lines; a longer one ends the request.
        const bool versionFile = awaiting_ == Awaiting::VersionFile;
        c_.client.RcvdStream =
            &localFile_.begin(versionFile ? kVersionFileLimit : FileStream::kUnlimited);
    } catch (const std::exception&) {
        // The body goes nowhere; the end then finds no file to read.
        removeFile(c_.localFile);
    }
}

void VersionCheck::DocEnd() {
    if (awaiting_ == Awaiting::Signature) {
        // The local file holds the download meanwhile.
        c_.client.RcvdStream = nullptr;
        if (memory_ && c_.client.DocIsAnswer()) signature_ = memory_->text();
        memory_.reset();
        return;
    }
    const bool stored = releaseStream();
    if (!c_.client.DocIsAnswer()) {
        // An error page, a relocation's body or a cut document: read as the
        // version file it would drop the kept checksum, read as the download
        // it would fail its checksum in place of the file still to come.
        removeFile(c_.localFile);
        return;
    }
    if (awaiting_ == Awaiting::VersionFile) {
        readVersionFile();
    } else {
        arrival_ = stored ? Arrival::Stored : Arrival::Unstored;
    }
}

DownloadFetch::Arrival VersionCheck::download() {
    arrival_ = Arrival::None;
    fetch(c_.downloadUrl, Awaiting::Download);
    return arrival_;
}

std::optional<std::string> VersionCheck::signature() {
    signature_.reset();
    fetch(c_.downloadUrl + ".minisig", Awaiting::Signature);
    return signature_;
}

void VersionCheck::fetch(const std::string& url, Awaiting what) {
    // However the request ends, the next tick asks for the version file: a
    // download is the operator's choice, never the timer's.
    struct BackToVersionFile {
        VersionCheck& check;
        ~BackToVersionFile() {
            check.awaiting_ = Awaiting::VersionFile;
            check.c_.client.URL = check.c_.versionUrl;
        }
    } back{*this};
    awaiting_ = what;
    c_.client.URL = url;
    try {
        c_.client.Get();
    } catch (const EHttpException&) {
        // What arrived before the failure has been noted at its document's end.
    }
}

bool VersionCheck::releaseStream() {
    c_.client.RcvdStream = nullptr;
    try {
        localFile_.end();
        return true;
    } catch (const std::exception&) {
        return false;
    }
}

// A file that is not accepted changes nothing: the offer made by the last
// accepted one stands, with its checksum and notes.
void VersionCheck::readVersionFile() {
    const auto lines = readVersionLines(c_.localFile);
    removeFile(c_.localFile);
    const auto file = lines ? parseVersionFile(*lines, c_.channel.productTag) : std::nullopt;
    if (!file) return;
    // The window's line list holds the checksum line, then the release notes.
    c_.lines = {file->checksum};
    c_.lines.insert(c_.lines.end(), file->notes.begin(), file->notes.end());
    download_.offer(*file);
    applyVersion(file->version);
}

void VersionCheck::applyVersion(std::int32_t version) {
    c_.item.setEnabled(newerThanInstalled(version, c_.installedVersion()));
    applyUpdateMenuRule(c_.menu);
    if (c_.item.enabled()) c_.log.append(c_.channel.notice);
}
