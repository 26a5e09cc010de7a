#include "update/version_check.h"

#include <filesystem>
#include <system_error>

#include "base/file_path.h"
#include "base/text.h"
#include "update/update_menu.h"
#include "update/version_file.h"

VersionCheck::VersionCheck(UpdateContext context) : c_(std::move(context)), download_(c_) {
    c_.timer.setInterval(c_.channel.firstIntervalMs);
    c_.client.URL = c_.versionUrl;
    c_.client.OnDocBegin = [this](THttpCli&) { DocBegin(); };
    c_.client.OnDocEnd = [this](THttpCli&) { DocEnd(); };
}

void VersionCheck::TimerTick() {
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
    stream_.reset();
    try {
        stream_ = std::make_unique<FileStream>(c_.localFile);
        c_.client.RcvdStream = stream_.get();
    } catch (const std::exception&) {
        // The body goes nowhere; the end then finds no file to read.
        removeLocalFile();
    }
}

void VersionCheck::DocEnd() {
    const bool stored = releaseStream();
    if (!c_.client.DocIsAnswer()) {
        // An error page, a relocation's body or a cut document: read as the
        // version file it would drop the kept checksum, read as the download
        // it would fail its checksum in place of the file still to come.
        removeLocalFile();
        return;
    }
    if (c_.client.URL == c_.versionUrl) {
        readVersionFile();
    } else {
        download_.downloadEnded(stored);
    }
}

void VersionCheck::removeLocalFile() {
    std::error_code ignored;
    std::filesystem::remove(pathFromUtf8(c_.localFile), ignored);
}

bool VersionCheck::releaseStream() {
    c_.client.RcvdStream = nullptr;
    if (!stream_) return true;
    bool stored = true;
    try {
        stream_->close();
    } catch (const std::exception&) {
        stored = false;
    }
    stream_.reset();
    return stored;
}

void VersionCheck::readVersionFile() {
    if (auto lines = readVersionLines(c_.localFile)) c_.lines = std::move(*lines);
    removeLocalFile();
    auto& lines = c_.lines;
    if (lines.size() < 4 || lines[0] != c_.channel.productTag) return;
    lines.erase(lines.begin());
    const auto version = parseDecimalInt32(lines[0]);
    if (!version) return;
    lines.erase(lines.begin());
    applyVersion(*version);
}

void VersionCheck::applyVersion(std::int32_t version) {
    const std::int32_t installed = c_.installedVersion();
    c_.item.setEnabled(installed != -1 && version > installed);
    applyUpdateMenuRule(c_.menu);
    if (c_.item.enabled()) c_.log.append(c_.channel.notice);
}
