#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "startup/program_files.h"
#include "support/desktop_fakes.h"

namespace {

// The program's folder and files as the operator finds them on each system,
// in a folder that does not exist here, so that every write to it fails.
struct ProgramPlace {
    const char* executable;
    const char* folder;
    const char* settingsFile;
    const char* savedCopyName;
};

#ifdef _WIN32
constexpr ProgramPlace kPlace{"C:\\Users\\Иван\\Telvarn\\Telvarn.exe", "C:\\Users\\Иван\\Telvarn",
                              "C:\\Users\\Иван\\Telvarn\\Telvarn.ini", "Telvarn_V14.exe"};
#else
constexpr ProgramPlace kPlace{"/home/иван/telvarn/Telvarn", "/home/иван/telvarn",
                              "/home/иван/telvarn/Telvarn.ini", "Telvarn_V14"};
#endif

struct ProgramFolder : ::testing::Test, PortlessDesktop {
    void SetUp() override { system.exePath = kPlace.executable; }
};

}  // namespace

TEST_F(ProgramFolder, FilesBesideTheProgramUseTheSystemsSeparatorAndNames) {
    MainWindow w(desktop, {});
    EXPECT_EQ(w.ProgramDirectory(), kPlace.folder);
    EXPECT_EQ(savedProgramFileName(MainWindow::ProgramVersion), kPlace.savedCopyName);

    // The settings file's error names it as the operator would look for it.
    w.guarded([&] { w.FormClose(); });
    EXPECT_EQ(dialogs.errors,
              std::vector<std::string>{std::string("Unable to write to ") + kPlace.settingsFile});
}

TEST_F(ProgramFolder, TheRestartStepStartsTheProgramByItsRegularName) {
    MainWindow w(desktop, {"PAUSE"});
    ASSERT_EQ(system.started.size(), 1u);
    EXPECT_EQ(system.started[0].path, kPlace.executable);
}
