#pragma once

#include <memory>
#include <optional>
#include <ostream>
#include <string>

#include "session/journal.h"

// The journal --journal or TELVARN_JOURNAL names, opened before any port is:
// null when none is asked for. Nothing when it cannot be opened; the reason
// is then on errors and the run ends with kExitBadArguments.
std::optional<std::unique_ptr<Journal>> openCliJournal(const std::optional<std::string>& path,
                                                       std::ostream& errors);
