#pragma once

#include <memory>
#include <optional>
#include <string>

#include "base/system_services.h"
#include "session/journal.h"

// The journal TELVARN_JOURNAL names, opened before the window's first search.
// One that cannot be opened is shown once, and the window goes on without it.
std::unique_ptr<Journal> openWindowJournal(const std::optional<std::string>& path,
                                           Dialogs& dialogs);
