#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <sstream>

#include "link/port_list.h"
#include "link/routed_port.h"
#include "link/traced_port.h"
#include "support/fake_serial_port.h"
#include "support/temp_folder.h"

TEST(PortList, SortsWithoutRegardToCase) {
    std::vector<std::string> names = {"COM2", "COM10", "com1", "SIM", "ttyUSB0"};
    sortPortList(names);
    EXPECT_EQ(names, (std::vector<std::string>{"com1", "COM10", "COM2", "SIM", "ttyUSB0"}));
}

TEST(PortList, SplitsACommaSeparatedOverride) {
    EXPECT_EQ(splitPortNames(" COM3, ttyUSB0 ,,"), (std::vector<std::string>{"COM3", "ttyUSB0"}));
    EXPECT_TRUE(splitPortNames("").empty());
}

TEST(ListedPorts, OverrideReplacesTheSystemAndTheExtraNameIsAdded) {
    FakePortEnumerator system;
    system.names = {"ttyS0", "ttyS1"};
    EXPECT_EQ(ListedPorts(system, std::nullopt, std::nullopt).listPorts(), system.names);
    EXPECT_EQ(ListedPorts(system, std::string(""), std::string("SIM")).listPorts(),
              std::vector<std::string>{"SIM"});
    EXPECT_EQ(ListedPorts(system, std::string("COM7"), std::nullopt).listPorts(),
              std::vector<std::string>{"COM7"});
}

TEST(RoutedPort, ServesTheSpecialNameFromTheSecondPort) {
    FakeSerialPort system;
    FakeSerialPort simulated;
    RoutedPort port(system, simulated, "SIM");
    port.open("SIM");
    EXPECT_TRUE(port.isOpen());
    EXPECT_TRUE(simulated.isOpen());
    port.write({'t', 'e', 's', 't'});
    EXPECT_EQ(simulated.written.size(), 1u);
    port.close();
    EXPECT_FALSE(simulated.isOpen());
    port.open("COM1");
    port.write({'x'});
    EXPECT_EQ(system.written.size(), 1u);
    EXPECT_EQ(simulated.written.size(), 1u);
}

TEST(RoutedPort, AFailedOpenLeavesItClosed) {
    FakeSerialPort system;
    FakeSerialPort simulated;
    system.absent = {"COM9"};
    RoutedPort port(system, simulated, "SIM");
    EXPECT_THROW(port.open("COM9"), PortError);
    EXPECT_FALSE(port.isOpen());
}

TEST(TracedPort, WritesOneHexLinePerFrameAndReply) {
    TempFolder folder;
    FakeSerialPort inner;
    inner.reply("OK");
    {
        TracedPort port(inner, folder.file("trace.txt"));
        port.open("SIM");
        port.write({'i', 0x0A});
        EXPECT_EQ(port.read(2), (Bytes{'O', 'K'}));
    }
    std::istringstream lines(folder.read("trace.txt"));
    std::string first, second;
    std::getline(lines, first);
    std::getline(lines, second);
    EXPECT_NE(first.find("> SIM 2: 69 0A"), std::string::npos) << first;
    EXPECT_NE(second.find("< SIM 2: 4F 4B"), std::string::npos) << second;
}

TEST(TracedPort, AFileThatCannotBeOpenedIsReportedOnceAndThePortGoesOn) {
    TempFolder folder;
    const std::string path = folder.file("no such folder/trace.txt");
    FakeSerialPort inner;
    inner.reply("OK");
    ::testing::internal::CaptureStderr();
    {
        TracedPort port(inner, path);
        port.open("SIM");
        port.write({'i', 0x0A});
        EXPECT_EQ(port.read(2), (Bytes{'O', 'K'}));
    }
    const std::string said = ::testing::internal::GetCapturedStderr();
    EXPECT_EQ(std::count(said.begin(), said.end(), '\n'), 1) << said;
    EXPECT_NE(said.find("cannot open the trace file " + path), std::string::npos) << said;
}
