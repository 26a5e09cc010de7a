#include "update/version_check.h"

#include "update/release_signature.h"
#include "update/update_files.h"
#include "update/version_file.h"

VersionCheck::VersionCheck(const UpdateChannel& channel, THttpCli& client, Timer& timer,
                           UpdatePlaces places, UpdateDesktop desktop, UpdateShared& shared,
                           Report& report, std::function<std::int32_t()> installedVersion)
    : channel_(channel),
      client_(client),
      timer_(timer),
      places_(std::move(places)),
      shared_(shared),
      report_(report),
      installedVersion_(std::move(installedVersion)),
      download_(channel_, places_, desktop, shared, report, *this),
      localFile_(places_.localFile) {
    timer_.setInterval(channel_.firstIntervalMs);
    client_.URL = places_.versionUrl;
    client_.OnDocBegin = [this](THttpCli&) { DocBegin(); };
    client_.OnDocEnd = [this](THttpCli&) { DocEnd(); };
}

void VersionCheck::TimerTick() {
    // A download on its way to being installed: this tick is skipped.
    if (!shared_.gate.open()) return;
    if (installedVersion_() == -1) return;
    // Before the request, so that a failed one is tried again in 30 minutes.
    timer_.setInterval(kRepeatMs);
    try {
        client_.Get();
    } catch (const EHttpException&) {
        report_.line(channel_.checkFailure);
    }
}

void VersionCheck::DocBegin() {
    client_.RcvdStream = nullptr;
    memory_.reset();
    if (awaiting_ == Awaiting::Signature) {
        memory_ = std::make_unique<MemoryStream>(kSignatureFileLimit);
        client_.RcvdStream = memory_.get();
        return;
    }
    try {
        // A version file is a few lines; a longer one ends the request.
        const bool versionFile = awaiting_ == Awaiting::VersionFile;
        client_.RcvdStream =
            &localFile_.begin(versionFile ? kVersionFileLimit : FileStream::kUnlimited);
    } catch (const std::exception&) {
        // The body goes nowhere; the end then finds no file to read.
        removeFile(places_.localFile);
    }
}

void VersionCheck::DocEnd() {
    if (awaiting_ == Awaiting::Signature) {
        // The local file holds the download meanwhile.
        client_.RcvdStream = nullptr;
        if (memory_ && client_.DocIsAnswer()) signature_ = memory_->text();
        memory_.reset();
        return;
    }
    const bool stored = releaseStream();
    if (!client_.DocIsAnswer()) {
        // An error page, a relocation's body or a cut document: read as the
        // version file it would drop the kept checksum, read as the download
        // it would fail its checksum in place of the file still to come.
        removeFile(places_.localFile);
        return;
    }
    if (awaiting_ == Awaiting::VersionFile) {
        readVersionFile();
    } else {
        arrival_ = stored ? Arrival::Stored : Arrival::Unstored;
    }
}

DownloadHost::Arrival VersionCheck::download() {
    arrival_ = Arrival::None;
    fetch(places_.downloadUrl, Awaiting::Download);
    return arrival_;
}

std::optional<std::string> VersionCheck::signature() {
    signature_.reset();
    fetch(places_.downloadUrl + ".minisig", Awaiting::Signature);
    return signature_;
}

void VersionCheck::fetch(const std::string& url, Awaiting what) {
    // However the request ends, the next tick asks for the version file: a
    // download is the operator's choice, never the timer's.
    struct BackToVersionFile {
        VersionCheck& check;
        ~BackToVersionFile() {
            check.awaiting_ = Awaiting::VersionFile;
            check.client_.URL = check.places_.versionUrl;
        }
    } back{*this};
    awaiting_ = what;
    client_.URL = url;
    try {
        client_.Get();
    } catch (const EHttpException&) {
        // What arrived before the failure has been noted at its document's end.
    }
}

bool VersionCheck::releaseStream() {
    client_.RcvdStream = nullptr;
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
    const auto lines = readVersionLines(places_.localFile);
    removeFile(places_.localFile);
    const auto file = lines ? parseVersionFile(*lines, channel_.productTag) : std::nullopt;
    if (!file) return;
    download_.offer(*file);
    applyVersion(file->version);
}

void VersionCheck::applyVersion(std::int32_t version) {
    setDownloadable(newerThanInstalled(version, installedVersion_()));
    if (downloadable_) report_.line(channel_.notice);
}

void VersionCheck::setDownloadable(bool downloadable) {
    downloadable_ = downloadable;
    downloadableChanged();
}
