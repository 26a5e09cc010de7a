#include "link/discovery.h"

#include <gtest/gtest.h>

#include <map>

#include "link/info_reply.h"
#include "support/recorded_report.h"
#include "support/scripted_link.h"

namespace {

const std::string kBoot = "Telvarn-1 Mode-BOOT ID-00012345 Version-0102";
const std::string kApplication = "Telvarn-1 Mode-APPL Version-0015";

// Programmers hanging on named ports: each answers `info` with its boot text
// after a reset pulse and with its application text after `runapp`.
struct Discovery : ::testing::Test, ScriptedLink {
    struct Device {
        std::string boot;
        std::string application;
        bool running = false;
    };
    RecordedReport log;
    std::int32_t version = -1;
    std::map<std::string, Device> devices;
    std::size_t pulsesSeen = 0;

    void SetUp() override {
        port.responder = [this](const Bytes& frame) -> Bytes {
            auto it = devices.find(port.name);
            if (it == devices.end()) return {};
            Device& device = it->second;
            if (port.dtr.size() != pulsesSeen) {
                pulsesSeen = port.dtr.size();
                device.running = false;
            }
            const std::string word(frame.begin(), frame.end());
            std::string reply;
            if (word == "info") reply = device.running ? device.application : device.boot;
            if (word == "runapp") {
                device.running = true;
                reply = "OK";
            }
            return Bytes(reply.begin(), reply.end());
        };
    }

    void discover() { runDiscovery(link, log, version); }
};

}  // namespace

TEST_F(Discovery, FindsTheProgrammerOnTheSecondPort) {
    ports.names = {"COM2", "COM1"};
    devices["COM2"] = {kBoot, kApplication};
    discover();
    EXPECT_EQ(port.opened, (std::vector<std::string>{"COM1", "COM2"}));
    EXPECT_EQ(log.lines(), (std::vector<std::string>{
                               "Найдено устройство Telvarn-1, порт : COM2",
                               "Серийный номер программатора : 00012345",
                               "Версия загрузчика программатора : 0102",
                               "Версия программы программатора : 15",
                           }));
    EXPECT_EQ(version, 15);
    EXPECT_TRUE(link.isOpen());
    EXPECT_EQ(link.portName(), "COM2");
    EXPECT_EQ(port.dtr, (std::vector<bool>{true, false, true, false}));
}

TEST_F(Discovery, ApplicationThatDoesNotComeUpNeedsAnUpdate) {
    ports.names = {"COM1"};
    devices["COM1"] = {kBoot, kBoot};
    discover();
    ASSERT_EQ(log.lines().size(), 5u);
    EXPECT_EQ(log.lines()[3], "Версия программы программатора не определена, требуется обновление");
    EXPECT_EQ(log.lines()[4], "Программатор Telvarn-1 не найден");
    EXPECT_EQ(version, -2);
    EXPECT_TRUE(link.isOpen());  // the last port stays open
}

TEST_F(Discovery, SkipsRepliesWithoutIdOrInApplicationMode) {
    ports.names = {"COM1", "COM2"};
    devices["COM1"] = {"Telvarn-1 Mode-BOOT Version-0102", kApplication};
    devices["COM2"] = {kApplication, kApplication};
    discover();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Программатор Telvarn-1 не найден"});
    EXPECT_FALSE(link.isOpen());
    EXPECT_EQ(version, -1);
}

TEST_F(Discovery, TriesPortsSortedWithoutRegardToCase) {
    ports.names = {"COM2", "com10", "COM1"};
    discover();
    EXPECT_EQ(port.opened, (std::vector<std::string>{"COM1", "com10", "COM2"}));
}

TEST_F(Discovery, CutsTheSerialNumberAndReadsABadVersionAsMinusOne) {
    ports.names = {"COM1"};
    devices["COM1"] = {"Telvarn-1 Mode-BOOT ID-ABCDEFGHIJKL Version-01",
                       "Telvarn-1 Mode-APPL Version-1x"};
    discover();
    EXPECT_EQ(log.lines()[1], "Серийный номер программатора : ABCDEFGH");
    EXPECT_EQ(log.lines()[2], "Версия загрузчика программатора : 01");
    EXPECT_EQ(log.lines()[3], "Версия программы программатора : -1");
    EXPECT_EQ(version, -1);
}

TEST_F(Discovery, ShowsForeignDeviceTextOnOneLineEach) {
    using namespace std::string_literals;
    struct Case {
        std::string boot, serialLine, versionLine;
    };
    const Case cases[] = {
        {"Telvarn-1 Mode-BOOT ID-\xFC", "Серийный номер программатора : ь",
         "Версия загрузчика программатора : "},
        {"Telvarn-1 Mode-BOOT ID-A\rB\nC\0\xFC\xFF Version-1\r\n\0"s,
         "Серийный номер программатора : A␍B␊C␀ья", "Версия загрузчика программатора : 1␍␊␀"},
    };
    ports.names = {"COM1"};
    for (const Case& c : cases) {
        log.clear();
        devices["COM1"] = {c.boot, kApplication};
        discover();
        ASSERT_EQ(log.lines().size(), 4u) << c.boot;
        EXPECT_EQ(log.lines()[1], c.serialLine);
        EXPECT_EQ(log.lines()[2], c.versionLine);
    }
}

TEST_F(Discovery, SkipsPortsThatCannotBeOpenedOrFail) {
    ports.names = {"COM1", "COM2", "COM3"};
    port.absent = {"COM1"};
    devices["COM2"] = {kBoot, kApplication};
    devices["COM3"] = {kBoot, kApplication};
    // COM2 breaks in the middle of its probe.
    bool broke = false;
    auto device = port.responder;
    port.responder = [&, device](const Bytes& frame) {
        if (port.name == "COM2" && !broke) {
            broke = true;
            throw PortError("ReadFile function failed", 5);
        }
        return device(frame);
    };
    discover();
    EXPECT_EQ(link.portName(), "COM3");
    EXPECT_EQ(version, 15);
    EXPECT_EQ(log.lines().front(), "Найдено устройство Telvarn-1, порт : COM3");
}

TEST_F(Discovery, NamesEachPortTheUserMayNotOpenOnceAfterTheUsualLines) {
    struct Case {
        const char* what;
        std::vector<std::string> names;
        std::vector<std::string> usual;
        std::vector<std::string> denied;
    };
    const Case cases[] = {
        {"no programmer",
         {"ttyUSB0", "ttyS0", "ttyUSB1"},
         {"Программатор Telvarn-1 не найден"},
         {"ttyUSB0", "ttyUSB1"}},
        {"the programmer after it",
         {"ttyUSB0", "ttyUSB2"},
         {"Найдено устройство Telvarn-1, порт : ttyUSB2", "Серийный номер программатора : 00012345",
          "Версия загрузчика программатора : 0102", "Версия программы программатора : 15"},
         {"ttyUSB0"}},
        {"a port listed twice",
         {"ttyUSB0", "ttyUSB0"},
         {"Программатор Telvarn-1 не найден"},
         {"ttyUSB0"}},
    };
    port.denied = {"ttyUSB0", "ttyUSB1"};
    port.absent = {"ttyS0"};  // cannot be opened for another reason: nothing said
    devices["ttyUSB2"] = {kBoot, kApplication};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        log.clear();
        ports.names = c.names;
        discover();
        std::vector<std::string> expected = c.usual;
#ifdef __linux__
        for (const std::string& name : c.denied) {
            expected.push_back("Нет доступа к порту " + name +
                               ": добавьте пользователя в группу dialout");
        }
#endif
        EXPECT_EQ(log.lines(), expected);
    }
}

TEST_F(Discovery, NoPortsAtAll) {
    discover();
    EXPECT_EQ(log.lines(), std::vector<std::string>{"Программатор Telvarn-1 не найден"});
}

TEST_F(Discovery, SwitchingAwayFromABootOnlyProgrammerThatFailsIsNotCaught) {
    ports.names = {"COM1", "COM2"};
    devices["COM1"] = {kBoot, kBoot};
    port.absent = {"COM2"};
    EXPECT_THROW(discover(), PortError);
    EXPECT_EQ(log.lines().back(),
              "Версия программы программатора не определена, требуется обновление");
}

TEST(InfoReply, GarbageAndTruncatedTagsNeverBreakIt) {
    EXPECT_FALSE(parseInfoReply("").isTelvarn);
    const InfoReply cut = parseInfoReply("Telvarn-1 Mode-BOOT ID-");
    EXPECT_TRUE(cut.hasId);
    EXPECT_EQ(cut.serialNumber, "");
    EXPECT_EQ(cut.version, "");
    const InfoReply partial = parseInfoReply("Version-1");
    EXPECT_EQ(partial.version, "1");
    std::string binary(100, '\0');
    for (int i = 0; i < 100; ++i) binary[i] = static_cast<char>(i * 37);
    EXPECT_FALSE(parseInfoReply(binary).bootMode);
    EXPECT_EQ(parseFirmwareVersion("0015"), 15);
    EXPECT_EQ(parseFirmwareVersion(""), -1);
    EXPECT_EQ(parseFirmwareVersion("12a"), -1);
    EXPECT_EQ(parseFirmwareVersion("-"), -1);
    EXPECT_EQ(parseFirmwareVersion("18446744073709551617"), -1);
}
