#include "app/window_journal.h"

std::unique_ptr<Journal> openWindowJournal(const std::optional<std::string>& path,
                                           Dialogs& dialogs) {
    if (!path) return nullptr;
    std::string error;
    auto journal = Journal::open(*path, error);
    if (!journal) dialogs.showError(error);
    return journal;
}
