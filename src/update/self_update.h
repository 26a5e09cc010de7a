#pragma once

#include <cstdint>
#include <optional>
#include <string>

#include "base/report.h"
#include "update/update_channel.h"
#include "update/update_places.h"
#include "update/version_file.h"

// What the download needs of the check that found it: the documents fetched
// one at a time (the client is back on the version file's address when each
// returns), the version installed, and the check's item.
class DownloadHost {
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
    // -1 while it is not known.
    virtual std::int32_t installedVersion() const = 0;
    // Whether the operator may ask for the download (again).
    virtual void setDownloadable(bool downloadable) = 0;
    // The downloaded program is in place for the restart step: the program ends.
    virtual void requestRestart() = 0;

  protected:
    ~DownloadHost() = default;
};

// Whether a release of this version is newer than the one installed; nothing
// is, while the installed version is not known (-1).
bool newerThanInstalled(std::int32_t version, std::int32_t installed);

// What a release's signature names in its trusted comment: the product and
// version line, and for the program the system it was built for
// ("Telvarn 15 linux-x86_64", "Telvarn-1_APPL 16").
std::string signedRelease(const UpdateChannel& channel, const std::string& versionLine);

// The download of a newer program or firmware that a version check has found,
// its tests against the version file and the release key, and the hand-over:
// the program replaces itself and restarts, the firmware goes to the firmware
// update.
class SelfUpdate {
  public:
    SelfUpdate(const UpdateChannel& channel, const UpdatePlaces& places, UpdateDesktop desktop,
               UpdateShared& shared, Report& report, DownloadHost& host)
        : channel_(channel),
          places_(places),
          desktop_(desktop),
          shared_(shared),
          report_(report),
          host_(host) {}

    // The menu item's click: shows the release notes, and on Yes downloads
    // exactly the release they were shown for, if it is still newer than the
    // one installed. Every download ends in one line of the log, which tells
    // its outcome.
    void request();
    // The version file the check has accepted: the download it offers.
    void offer(VersionFile file) { offered_ = std::move(file); }
    const std::optional<VersionFile>& offered() const { return offered_; }

  private:
    // The download of release, once the operator has said Yes to it.
    void download(const VersionFile& release, UpdateGate::Hold& hold);
    void noteUnsignedOnce();
    bool checksumMatches(const VersionFile& release) const;
    bool signatureVerifies(const VersionFile& release);
    // A download that fails a test is never installed.
    void refuse(const std::string& line);
    void installProgram();
    void handOverFirmware();

    const UpdateChannel& channel_;
    const UpdatePlaces& places_;
    UpdateDesktop desktop_;
    UpdateShared& shared_;
    Report& report_;
    DownloadHost& host_;
    std::optional<VersionFile> offered_;
};
