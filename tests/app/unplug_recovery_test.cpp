// A whole window whose simulated programmer loses its cable mid-way through a
// long operation and is found again by "Поиск" once it is back.
#include <gtest/gtest.h>

#include "app/main_window.h"
#include "startup/program_files.h"
#include "link/routed_port.h"
#include "sim/simulated_port.h"
#include "support/desktop_fakes.h"
#include "support/fake_serial_port.h"
#include "support/stepped_clock.h"
#include "support/temp_folder.h"
#include "support/test_bytes.h"

namespace {

using namespace std::chrono_literals;
using Lines = std::vector<std::string>;

struct UnpluggedWindow : ::testing::Test, DesktopFakes, SteppedTime {
    TempFolder folder;
    FakeSerialPort systemPort;
    FakePortEnumerator systemPorts;
    SimulatedProgrammer device{SimBehaviour::Unplug};
    SimulatedPort simulatedPort{device, true, clock};
    RoutedPort port{systemPort, simulatedPort, "SIM"};
    ListedPorts ports{systemPorts, std::string(""), std::string("SIM"),
                      [this] { return simulatedPort.devicePresent(); }};
    Desktop desktop = desktopOn(port, ports);
    std::unique_ptr<MainWindow> window;

    MainWindow& start() {
        system.exePath = folder.file(kProgramFileName);
        window = std::make_unique<MainWindow>(desktop, std::vector<std::string>{});
        window->FormCreate();
        EXPECT_TRUE(window->link.isOpen());
        window->log.clear();
        return *window;
    }
    // What the window logs for a click or a tick of TimerProg, which leaves no message box.
    Lines logged(const std::function<void()>& action) {
        window->log.clear();
        action();
        EXPECT_EQ(dialogs.errors, Lines{});
        return window->log.lines();
    }
    void tickTimerProg() {
        ASSERT_TRUE(window->TimerProg->enabled());
        static_cast<ManualPump::ManualTimer&>(*window->TimerProg).onTick();
    }
    Bytes buffer() const {
        return Bytes(window->chipBuffer.bytes().begin(), window->chipBuffer.bytes().end());
    }
};

const Lines kNotFound = {"Программатор Telvarn-1 не найден"};

}  // namespace

TEST_F(UnpluggedWindow, ProgrammingFailsAtOnceKeepsTheBufferAndWorksAfterTheReturn) {
    MainWindow& w = start();
    folder.write("chip.txt", std::string("0\n1023\n$2000\n0x4321\n29627\n30716\n32767\n"));
    dialogs.fileToOpen = folder.file("chip.txt");
    w.menu.MainMenuChipLoadFile.click();
    const Bytes loaded = buffer();

    EXPECT_EQ(logged([&] { w.menu.MainMenuChipLoadRam.click(); }),
              Lines{"Ошибка загрузки данных в программатор"});
    EXPECT_EQ(beeper.beeps, 3);
    EXPECT_EQ(buffer(), loaded);
    EXPECT_EQ(device.framesReceived("ramwrite"), 2);

    clock.advance(3s - 1ms);
    EXPECT_EQ(logged([&] { w.menu.MainMenuProgFind.click(); }), kNotFound);
    clock.advance(1ms);
    EXPECT_EQ(logged([&] { w.menu.MainMenuProgFind.click(); }).back(),
              "Версия программы программатора : 15");
    EXPECT_EQ(logged([&] { w.menu.MainMenuChipLoadRam.click(); }),
              (Lines{"Загрузка данных в программатор : OK", "Проверка данных программатора : OK",
                     "Программирование : OK"}));
    EXPECT_EQ(buffer(), loaded);
}

TEST_F(UnpluggedWindow, ACutFirmwareUpdateStopsOnceAndFlashesWholeAfterTheReturn) {
    const Bytes firmware = patternedBytes(300 * 256, 11);
    folder.write(kFirmwareName, firmware);
    MainWindow& w = start();

    EXPECT_EQ(
        logged([&] { tickTimerProg(); }),
        (Lines{"Загружено 76800 байт из файла Telvarn-1_APPL.cbin", "Основное приложение стерто",
               "Программирование...", "Ошибка записи страницы 199", "Ошибка программирования"}));
    EXPECT_TRUE(logged([&] { tickTimerProg(); }).empty());

    clock.advance(3s);
    w.menu.MainMenuProgFind.click();
    EXPECT_EQ(logged([&] { tickTimerProg(); }).back(), "Запуск основного приложения : OK");
    EXPECT_EQ(w.status.text(), "Программирование завершено");
    EXPECT_FALSE(folder.exists(kFirmwareName));
    EXPECT_EQ(device.pagesProgrammed(), 199 + 300);
    EXPECT_EQ(Bytes(device.flash().begin(), device.flash().begin() + 300 * 256), firmware);
}
