#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>

#include "base/report.h"
#include "base/signal.h"
#include "base/timer.h"
#include "http/document_file.h"
#include "http/http_cli.h"
#include "http/memory_stream.h"
#include "update/self_update.h"
#include "update/update_channel.h"
#include "update/update_places.h"

// One of the two background checks for a newer version, and the download it
// leads to. The client's document handlers are this object's: the version
// file and the download land in the local file, the download's signature in
// memory. Only the answer the check waits for is read; any other document (an
// error page, a relocation's body) is dropped unread. It tells the operator
// what happens through its report, and whether a download can be asked for
// through downloadable(), which the window's menu shows.
class VersionCheck : private DownloadHost {
  public:
    // Every 30 minutes once the first request has been made.
    static constexpr std::uint32_t kRepeatMs = 1800000;

    // installedVersion: the version a newer one is compared with; -1 while it
    // is not known (only the firmware's can be), and then the check waits.
    VersionCheck(const UpdateChannel& channel, THttpCli& client, Timer& timer, UpdatePlaces places,
                 UpdateDesktop desktop, UpdateShared& shared, Report& report,
                 std::function<std::int32_t()> installedVersion);
    VersionCheck(const VersionCheck&) = delete;
    VersionCheck& operator=(const VersionCheck&) = delete;

    // The check timer's tick.
    void TimerTick();
    // The operator asks for the download: the question, then the download.
    void DownloadClick() { download_.request(); }

    // A newer release has been found and its download may be asked for.
    bool downloadable() const { return downloadable_; }
    // The release the last accepted version file offers, if any.
    const std::optional<VersionFile>& offer() const { return download_.offered(); }

    Signal<> downloadableChanged;
    // A new program is in place for the restart step: the window closes.
    Signal<> restartRequested;

    void DocBegin();
    void DocEnd();

  private:
    enum class Awaiting { VersionFile, Download, Signature };

    Arrival download() override;
    std::optional<std::string> signature() override;
    std::int32_t installedVersion() const override { return installedVersion_(); }
    void setDownloadable(bool downloadable) override;
    void requestRestart() override { restartRequested(); }
    // One request for url, its answer read as `what`; afterwards the check
    // waits for the version file again, whatever the request's end.
    void fetch(const std::string& url, Awaiting what);

    // Closes the local file; false when its last bytes could not be stored.
    bool releaseStream();
    void readVersionFile();
    void applyVersion(std::int32_t version);

    const UpdateChannel& channel_;
    THttpCli& client_;
    Timer& timer_;
    const UpdatePlaces places_;
    UpdateShared& shared_;
    Report& report_;
    std::function<std::int32_t()> installedVersion_;
    SelfUpdate download_;
    bool downloadable_ = false;
    Awaiting awaiting_ = Awaiting::VersionFile;
    DocumentFile localFile_;
    std::unique_ptr<MemoryStream> memory_;
    // What the last fetch's answer brought.
    Arrival arrival_ = Arrival::None;
    std::optional<std::string> signature_;
};
