#pragma once

#include <memory>
#include <optional>
#include <string>

#include "http/document_file.h"
#include "http/memory_stream.h"
#include "update/self_update.h"
#include "update/update_context.h"

// One of the two background checks for a newer version, and the download it
// leads to. The client's document handlers are this object's: the version
// file and the download land in the local file, the download's signature in
// memory. Only the answer the check waits for is read; any other document (an
// error page, a relocation's body) is dropped unread.
class VersionCheck : private DownloadFetch {
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
    enum class Awaiting { VersionFile, Download, Signature };

    Arrival download() override;
    std::optional<std::string> signature() override;
    // One request for url, its answer read as `what`; afterwards the check
    // waits for the version file again, whatever the request's end.
    void fetch(const std::string& url, Awaiting what);

    // Closes the local file; false when its last bytes could not be stored.
    bool releaseStream();
    void readVersionFile();
    void applyVersion(std::int32_t version);

    UpdateContext c_;
    SelfUpdate download_;
    Awaiting awaiting_ = Awaiting::VersionFile;
    DocumentFile localFile_;
    std::unique_ptr<MemoryStream> memory_;
    // What the last fetch's answer brought.
    Arrival arrival_ = Arrival::None;
    std::optional<std::string> signature_;
};
