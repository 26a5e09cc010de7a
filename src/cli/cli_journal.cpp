#include "cli/cli_journal.h"

std::optional<std::unique_ptr<Journal>> openCliJournal(const std::optional<std::string>& path,
                                                       std::ostream& errors) {
    if (!path) return std::unique_ptr<Journal>();
    std::string error;
    auto journal = Journal::open(*path, error);
    if (!journal) {
        errors << "telvarn-cli: " << error << '\n';
        return std::nullopt;
    }
    return journal;
}
