#include "control/menu_refresh.h"

namespace {

constexpr std::size_t kStatusLength = 13;
// Zero-based offsets into the status reply.
constexpr std::size_t kVprAt = 5;
constexpr std::size_t kChannelAt = 6;
constexpr std::size_t kSupplyAt = 10;

}  // namespace

void applyStatusReply(MainMenu& menu, const std::string& reply) {
    if (reply.size() != kStatusLength) return;
    const std::string channel = reply.substr(kChannelAt, 3);
    for (MenuItem* item : menu.channels()) item->setChecked(channelCode(*item) == channel);
    menu.MainMenuProgVpr.setChecked(reply[kVprAt] == '1');
    const std::string supply = reply.substr(kSupplyAt, 3);
    menu.MainMenuProgVdd3.setChecked(supply == "100");
    menu.MainMenuProgVdd5.setChecked(supply == "010");
    menu.MainMenuProgVddU.setChecked(supply == "001");
}

void refreshProgrammerMenu(MainMenu& menu, ProgrammerLink& link) {
    const bool open = link.isOpen();
    menu.MainMenuProgVdd.setEnabled(open);
    if (!open) {
        // Service mode counts as off from here; its other effects stay as they are.
        menu.MainMenuProgCheckRam.setVisible(false);
        menu.MainMenuProgCheckPorts.setVisible(false);
    }
    // A failed or short reply is not reported and leaves the marks as they were.
    std::string reply;
    if (link.ioread(reply)) applyStatusReply(menu, reply);
}
