#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "startup/front_end.h"
#include "startup/program_files.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"

namespace {

// Windows started one after the other in one program folder, on a silent
// simulated programmer SIM1 that sorts before a working SIM2.
struct RememberedPortWindows : ::testing::Test, DesktopFakes {
    TempFolder folder;
    FakeSerialPort systemPort;
    FakePortEnumerator systemPorts;

    void SetUp() override { system.exePath = folder.file(kProgramFileName); }

    // Starts a window on fresh programmers, closes it, and returns its log;
    // silentTouched tells whether the search spoke to SIM1 at all.
    std::vector<std::string> startAndClose(std::vector<SimBehaviour> behaviours,
                                           bool& silentTouched) {
        FrontEndPorts ports(systemPort, systemPorts, {behaviours, std::string(""), true, {}},
                            false);
        Desktop desktop = desktopOn(ports.port(), ports.ports());
        MainWindow window(desktop, {});
        window.FormCreate();
        window.FormClose();
        silentTouched = ports.bench().port(0).bytesWritten() > 0;
        return window.log.lines();
    }
};

TEST_F(RememberedPortWindows, TheSecondStartTriesTheLastPortFirstAndLogsAlike) {
    bool silentTouched = false;
    const auto first = startAndClose({SimBehaviour::Silent, SimBehaviour::Normal}, silentTouched);
    EXPECT_TRUE(silentTouched);
    EXPECT_NE(folder.read("Telvarn.ini").find("LAST=SIM2"), std::string::npos);

    const auto second = startAndClose({SimBehaviour::Silent, SimBehaviour::Normal}, silentTouched);
    EXPECT_FALSE(silentTouched);
    EXPECT_EQ(second, first);
    EXPECT_EQ(second.back(), "Выбрана микросхема : 9912ЛК047");
}

TEST_F(RememberedPortWindows, AStartWithoutAProgrammerKeepsTheStoredPort) {
    folder.write("Telvarn.ini", "[PORT]\nLAST=SIM2\n");
    bool silentTouched = false;
    const auto log = startAndClose({SimBehaviour::Silent, SimBehaviour::Silent}, silentTouched);
    EXPECT_EQ(log.back(), "Программатор Telvarn-1 не найден");
    EXPECT_NE(folder.read("Telvarn.ini").find("LAST=SIM2"), std::string::npos);
}

// The remembered port only leads the list: a programmer that moved to
// another port is still found, and then remembered there.
TEST_F(RememberedPortWindows, AProgrammerThatMovedIsFoundOnItsNewPort) {
    folder.write("Telvarn.ini", "[PORT]\nLAST=SIM2\n");
    bool silentTouched = false;
    startAndClose({SimBehaviour::Normal, SimBehaviour::Silent}, silentTouched);
    EXPECT_NE(folder.read("Telvarn.ini").find("LAST=SIM1"), std::string::npos);
}

}  // namespace
