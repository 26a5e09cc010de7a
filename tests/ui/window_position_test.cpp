// The window's place read back as it was put, on the screens an operator meets:
// a real X display with and without a window manager, and offscreen.
// Each case runs in a child process of its own, since the window system is
// chosen once per process.
#include <gtest/gtest.h>

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>
#include <cstdlib>
#include <map>
#include <memory>
#include <thread>

#include "app/main_window.h"
#include "spawn.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"
#include "ui/main_window_view.h"
#include "x_display.h"

namespace {

constexpr const char* kChildVariable = "TELVARN_WINDOW_POSITION_CHILD";
constexpr const char* kManagedVariable = "TELVARN_WINDOW_POSITION_MANAGED";

struct Screen {
    const char* name;
    const char* platform;
    bool display;
    XDisplay::Manager manager;
};

const Screen kScreens[] = {
    {"Offscreen", "offscreen", false, XDisplay::Manager::None},
    {"XWithoutWindowManager", "xcb", true, XDisplay::Manager::None},
    {"XWithOpenbox", "xcb", true, XDisplay::Manager::Openbox},
};

// Runs the loop until the window is on the screen and, under a window
// manager, framed and placed; a settled window's geometry no longer changes.
void settle(MainWindowView& view, bool managed) {
    QElapsedTimer clock;
    clock.start();
    QRect last;
    qint64 stableSince = 0;
    while (clock.elapsed() < 10000) {
        QApplication::processEvents(QEventLoop::AllEvents, 20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        const bool shown = view.windowHandle() != nullptr && view.windowHandle()->isExposed();
        const bool framed = !managed || view.frameGeometry() != view.geometry();
        if (!shown || !framed) continue;
        if (view.frameGeometry() != last) {
            last = view.frameGeometry();
            stableSince = clock.elapsed();
        } else if (clock.elapsed() - stableSince > 300) {
            return;
        }
    }
    FAIL() << "the window did not settle on the screen";
}

void PrintTo(const Screen& screen, std::ostream* out) {
    *out << screen.name;
}

// The child's work: the window put where a start puts it, then moved by the
// operator. A place read back otherwise would move the window at every start.
void placeShowAndMove() {
    static int argc = 1;
    static char name[] = "telvarn_ui_tests";
    static char* argv[] = {name, nullptr};
    static QApplication application(argc, argv);
    const bool managed = std::getenv(kManagedVariable) != nullptr;
    TempFolder folder;
    PortlessDesktop fakes;
    fakes.system.exePath = folder.file("Telvarn");
    MainWindow model(fakes.desktop, {});
    MainWindowView view(model);
    view.place({200, 150, 720, 320});
    view.show();
    settle(view, managed);
    EXPECT_EQ(view.placement(), (WindowPlace{200, 150, 720, 320}));
    view.windowHandle()->setPosition(230, 170);
    settle(view, managed);
    EXPECT_EQ(view.placement(), (WindowPlace{230, 170, 720, 320}));
}

// Runs this very test again in a child process on the given screen.
int runInChild(const Screen& screen, const std::string& display) {
    const auto* test = ::testing::UnitTest::GetInstance()->current_test_info();
    std::map<std::string, std::string> env{{kChildVariable, "1"},
                                           {"QT_QPA_PLATFORM", screen.platform}};
    if (screen.display) env["DISPLAY"] = display;
    if (screen.manager != XDisplay::Manager::None) env[kManagedVariable] = "1";
    const std::string filter =
        std::string("--gtest_filter=") + test->test_suite_name() + "." + test->name();
    return waitFor(spawn({"/proc/self/exe", filter}, env, false));
}

class WindowPosition : public ::testing::TestWithParam<Screen> {};

}  // namespace

TEST_P(WindowPosition, ReadsBackAsItWasPut) {
    if (std::getenv(kChildVariable) != nullptr) {
        placeShowAndMove();
        return;
    }
    const Screen& screen = GetParam();
    std::unique_ptr<XDisplay> display;
    if (screen.display) {
        display = XDisplay::start(screen.manager);
        if (!display) GTEST_SKIP() << "Xvfb or the window manager is not installed";
    }
    EXPECT_EQ(runInChild(screen, display ? display->name() : ""), 0);
}

INSTANTIATE_TEST_SUITE_P(Screens, WindowPosition, ::testing::ValuesIn(kScreens),
                         [](const auto& info) { return std::string(info.param.name); });
