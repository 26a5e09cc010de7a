#pragma once

#include "update/update_context.h"

// The download of a newer program or firmware that a version check has found,
// its checksum test against the version file, and the hand-over: the program
// replaces itself and restarts, the firmware goes to the firmware update.
class SelfUpdate {
  public:
    explicit SelfUpdate(const UpdateContext& context) : c_(context) {}

    // The menu item's click: shows the release notes, and on Yes downloads.
    // Every download ends in one line of the log, which tells its outcome.
    void request();
    // The end of the downloaded file itself in the local file (not of an error
    // page or a relocation's body); stored is false when the file could not be
    // written to its end.
    void downloadEnded(bool stored);

  private:
    std::string releaseNotes() const;
    bool checksumMatches() const;
    void setItem(bool enabled);
    void installProgram();
    void handOverFirmware();

    const UpdateContext& c_;
    // The running download's file has arrived and its outcome has been told.
    bool answered_ = false;
};
