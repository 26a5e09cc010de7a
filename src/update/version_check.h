#pragma once

#include <memory>

#include "http/file_stream.h"
#include "update/self_update.h"
#include "update/update_context.h"

// One of the two background checks for a newer version, and the download it
// leads to. The client's document handlers are this object's: every document
// of the client lands in the local file. Only the answer asked for is read, as
// a version file while the client asks for the version file, as the download
// while the operator's download runs; any other document is deleted unread.
class VersionCheck {
  public:
    // Every 30 minutes once the first request has been made.
    static constexpr std::uint32_t kRepeatMs = 1800000;

    explicit VersionCheck(UpdateContext context);
    VersionCheck(const VersionCheck&) = delete;
    VersionCheck& operator=(const VersionCheck&) = delete;

    // The check timer's tick.
    void TimerTick();
    // The menu item's click: ask, then download.
    void DownloadClick() { download_.request(); }

    void DocBegin();
    void DocEnd();

  private:
    // Closes the local file; false when its last bytes could not be stored.
    bool releaseStream();
    void removeLocalFile();
    void readVersionFile();
    void applyVersion(std::int32_t version);

    UpdateContext c_;
    SelfUpdate download_;
    std::unique_ptr<FileStream> stream_;
};
