// Discovery of the simulated programmer, among other ports, through the real link.
#include <gtest/gtest.h>

#include <algorithm>

#include "link/discovery.h"
#include "link/programmer_link.h"
#include "link/routed_port.h"
#include "sim/simulated_port.h"
#include "support/fake_desktop.h"
#include "support/fake_serial_port.h"
#include "support/recorded_report.h"

namespace {

struct DiscoveryRig {
    explicit DiscoveryRig(SimBehaviour behaviour, std::vector<std::string> systemNames = {})
        : device(behaviour),
          simPort(device, false),
          routed(systemPort, simPort, "SIM"),
          listed(systemPorts, std::nullopt, "SIM"),
          link(routed, listed, pump, beeper) {
        systemPorts.names = std::move(systemNames);
    }

    std::int32_t discover() {
        runDiscovery(link, log, firmwareVersion);
        return firmwareVersion;
    }
    bool logged(const std::string& line) const {
        return std::find(log.lines().begin(), log.lines().end(), line) != log.lines().end();
    }
    bool loggedNotFound() const { return logged("Программатор Telvarn-1 не найден"); }

    SimulatedProgrammer device;
    SimulatedPort simPort;
    FakeSerialPort systemPort;
    FakePortEnumerator systemPorts;
    RoutedPort routed;
    ListedPorts listed;
    ManualPump pump;
    FakeBeeper beeper;
    ProgrammerLink link;
    RecordedReport log;
    std::int32_t firmwareVersion = -1;
};

}  // namespace

TEST(SimDiscovery, FindsTheProgrammerBehindOtherPortsAndStartsItsApplication) {
    DiscoveryRig rig(SimBehaviour::Normal, {"COM3"});
    rig.device.setFirmwareVersion("0027");
    EXPECT_EQ(rig.discover(), 27);
    EXPECT_EQ(rig.log.lines(), (std::vector<std::string>{
                                   "Найдено устройство Telvarn-1, порт : SIM",
                                   "Серийный номер программатора : 00012345",
                                   "Версия загрузчика программатора : 0102",
                                   "Версия программы программатора : 27",
                               }));
    EXPECT_EQ(rig.systemPort.opened, std::vector<std::string>{"COM3"});
    EXPECT_TRUE(rig.link.isOpen());
    EXPECT_EQ(rig.link.portName(), "SIM");
    EXPECT_TRUE(rig.device.applicationRunning());
    EXPECT_EQ(rig.device.resets(), 1);
}

TEST(SimDiscovery, ARunningApplicationIsResetIntoTheBootloaderFirst) {
    DiscoveryRig rig(SimBehaviour::Normal);
    rig.device.receive(std::vector<std::uint8_t>{'r', 'u', 'n', 'a', 'p', 'p'});
    ASSERT_TRUE(rig.device.applicationRunning());
    EXPECT_EQ(rig.discover(), 15);
    EXPECT_FALSE(rig.loggedNotFound());
}

TEST(SimDiscovery, ABootOnlyProgrammerNeedsAnUpdateAndIsNotFound) {
    DiscoveryRig rig(SimBehaviour::BootOnly);
    EXPECT_EQ(rig.discover(), -2);
    ASSERT_EQ(rig.log.lines().size(), 5u);
    EXPECT_EQ(rig.log.lines()[0], "Найдено устройство Telvarn-1, порт : SIM");
    EXPECT_EQ(rig.log.lines()[3],
              "Версия программы программатора не определена, требуется обновление");
    EXPECT_EQ(rig.log.lines()[4], "Программатор Telvarn-1 не найден");
    // The last port stays open on the bootloader, ready for a firmware update.
    EXPECT_TRUE(rig.link.isOpen());
}

TEST(SimDiscovery, ASilentProgrammerIsNotFound) {
    DiscoveryRig rig(SimBehaviour::Silent);
    rig.discover();
    EXPECT_EQ(rig.log.lines(), std::vector<std::string>{"Программатор Telvarn-1 не найден"});
    EXPECT_FALSE(rig.link.isOpen());
    EXPECT_EQ(rig.firmwareVersion, -1);
}

TEST(SimDiscovery, ALongSerialNumberIsCutAndAnUnreadableVersionBecomesMinusOne) {
    DiscoveryRig rig(SimBehaviour::Normal);
    rig.device.setSerialNumber("ABCDEFGHIJ");
    rig.device.setFirmwareVersion("1.2a");
    EXPECT_EQ(rig.discover(), -1);
    EXPECT_TRUE(rig.logged("Серийный номер программатора : ABCDEFGH"));
    EXPECT_TRUE(rig.logged("Версия программы программатора : -1"));
    EXPECT_FALSE(rig.loggedNotFound());
}
