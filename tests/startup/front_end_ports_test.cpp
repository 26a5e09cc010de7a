#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "startup/front_end.h"
#include "support/fake_serial_port.h"

namespace {

// Each simulated programmer is a port of its own, listed after the system's
// ports, reached by its name, with a serial number of its own.
TEST(FrontEndPorts, EverySimulatedProgrammerHasItsOwnPortAndSerialNumber) {
    const std::vector<std::pair<std::vector<SimBehaviour>, std::vector<std::string>>> cases = {
        {{SimBehaviour::Normal}, {"ttyS0", "SIM"}},
        {{SimBehaviour::Silent, SimBehaviour::Normal, SimBehaviour::Normal},
         {"ttyS0", "SIM1", "SIM2", "SIM3"}},
    };
    for (const auto& [behaviours, listed] : cases) {
        FakeSerialPort systemPort;
        FakePortEnumerator systemPorts;
        systemPorts.names = {"ttyS0"};
        FrontEndPorts ports(systemPort, systemPorts, {behaviours, std::nullopt, true, {}}, false);
        EXPECT_EQ(ports.ports().listPorts(), listed);
        for (std::size_t i = 0; i < behaviours.size(); ++i) {
            SCOPED_TRACE(listed[i + 1]);
            EXPECT_EQ(ports.device(i).serialNumber(), "0001234" + std::to_string(5 + i));
            ports.port().open(listed[i + 1]);
            ports.port().write({0x55});
            ports.port().close();
            EXPECT_EQ(ports.bench().port(i).bytesWritten(), 1u);
        }
    }
}

}  // namespace
