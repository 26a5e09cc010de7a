#include "startup/update_server.h"

namespace {

std::string withoutTrailingSlash(std::string address) {
    while (!address.empty() && address.back() == '/') address.pop_back();
    return address;
}

}  // namespace

std::string updateServerBase(const SettingsFile& settings,
                             const std::optional<std::string>& fromEnvironment) {
    if (fromEnvironment && !fromEnvironment->empty()) return withoutTrailingSlash(*fromEnvironment);
    const std::string configured = settings.readString(kUpdateServerSection, kUpdateServerKey, "");
    if (!configured.empty()) return withoutTrailingSlash(configured);
    return kUpdateServerBase;
}
