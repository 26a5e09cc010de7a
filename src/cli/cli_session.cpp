#include "cli/cli_session.h"

#include "startup/front_end.h"

CliSession::CliSession(Services services, const std::optional<std::string>& logFile,
                       const std::string& logPrefix)
    : link(services.port, services.ports, services.pump, beeper_),
      mirror_(mirrorLog(log, logFile, logPrefix)) {}

void CliSession::selectVariant(std::optional<int> variant) {
    if (!variant) return session.selectStartUpVariant();
    session.selectVariant(*variant == 1 ? kVariant01 : kVariant02);
}
