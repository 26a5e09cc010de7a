#pragma once

#include <optional>
#include <string>

#include "update/update_context.h"
#include "update/version_file.h"

// The check's client, fetching the documents of a download one at a time;
// the client is back on the version file's address when each returns.
class DownloadFetch {
  public:
    enum class Arrival {
        None,      // no whole answer: a failed request, an error page, no body
        Unstored,  // the whole file arrived but could not be written to its end
        Stored,    // the whole file is in the local file
    };
    // The download, into the local file.
    virtual Arrival download() = 0;
    // The signature file beside the download; nothing unless it arrived whole
    // and within kSignatureFileLimit bytes.
    virtual std::optional<std::string> signature() = 0;

  protected:
    ~DownloadFetch() = default;
};

// The download of a newer program or firmware that a version check has found,
// its tests against the version file and the release key, and the hand-over:
// the program replaces itself and restarts, the firmware goes to the firmware
// update.
class SelfUpdate {
  public:
    SelfUpdate(const UpdateContext& context, DownloadFetch& fetch) : c_(context), fetch_(fetch) {}

    // The menu item's click: shows the release notes, and on Yes downloads.
    // Every download ends in one line of the log, which tells its outcome.
    void request();
    // The version file the check has accepted: the download it offers.
    void offer(VersionFile file) { offered_ = std::move(file); }

  private:
    std::string releaseNotes() const;
    void noteUnsignedOnce();
    bool checksumMatches() const;
    bool signatureVerifies();
    // A download that fails a test is never installed.
    void refuse(const std::string& line);
    void setItem(bool enabled);
    void installProgram();
    void handOverFirmware();

    const UpdateContext& c_;
    DownloadFetch& fetch_;
    std::optional<VersionFile> offered_;
};
