#pragma once

#include <functional>
#include <string>

#include "base/report.h"
#include "link/programmer_link.h"

// How a firmware flash ended.
enum class FlashResult {
    Flashed,       // every page programmed and the application started
    FileUnusable,  // the file could not be read or is empty: the programmer was not touched
    Failed,        // the erase or a page failed
};

// Flashes the application image in the file (path in UTF-8) through the
// programmer's bootloader: the file is read first (at most kFirmwareLimit
// bytes), then the programmer is reset, erased and programmed page by page,
// the progress on the status line, and its application started. The log names
// the file by the firmware's own name, whatever the file is called. beforePage
// runs before each page (the window paints itself there).
FlashResult flashFirmware(ProgrammerLink& link, Report& report, const std::string& path,
                          const std::function<void()>& beforePage = nullptr);
