// An operator's whole session in the window against the simulated programmer:
// every programmer and chip command once, as the menus and shortcuts give
// them. The log is what the operator reads; with TELVARN_SESSION_RECORD=DIR
// the log and the trace of every frame are also written to DIR (log.txt,
// trace.txt), for scripts/session-compare.sh to compare two builds by.
#include <cstdlib>
#include <fstream>

#include "window_rig.h"

namespace {

// The folder named by TELVARN_SESSION_RECORD, or nothing.
std::string recordFolder() {
    const char* folder = std::getenv("TELVARN_SESSION_RECORD");
    return folder != nullptr ? folder : "";
}

struct OperatorSession : Window {
    MainWindow& startRecording() {
        systemPorts.names = {"SIM"};
        if (!recordFolder().empty()) traceTo(recordFolder() + "/trace.txt");
        MainWindow& w = start();
        w.FormCreate();
        return w;
    }
    void press(const std::string& shortcut) { ASSERT_TRUE(window->menu.pressShortcut(shortcut)); }
    void record() const {
        if (recordFolder().empty()) return;
        std::ofstream out(recordFolder() + "/log.txt", std::ios::binary);
        for (const std::string_view line : window->log.lines()) out << line << '\n';
    }
};

TEST_F(OperatorSession, EveryCommandOnceAgainstTheSimulator) {
    folder.write("chip.txt", std::string("0\n7\n100\n29627\nabc\n"));
    dialogs.fileToOpen = folder.file("chip.txt");
    MainWindow& w = startRecording();          // "Поиск" and the new variant
    press("F2");                               // the data file
    press("F4");                               // "Прошить"
    press("Ctrl+F4");                          // "Прожечь", answered Yes
    w.menu.MainMenuChipModeNew.click();        // "Новая микросхема"
    w.menu.MainMenuChipMode01.click();         // the other variant
    press("Ctrl+F12");                         // service mode
    press("Shift+F12");                        // "Проверка RAM"
    press("F12");                              // "Проверка выходов"
    w.menu.MainMenuProgMUX101.click();         // channel 5
    w.menu.MainMenuProgVdd3.click();
    w.menu.MainMenuProgVdd5.click();
    w.menu.MainMenuProgVddU.click();
    w.menu.MainMenuProgVpr.click();            // on
    w.menu.MainMenuProgVpr.click();            // off
    folder.write(kFirmwareName, std::string(600, '\x5A'));
    tick(*w.TimerProg);                        // the firmware file beside the program
    w.menu.MainMenuProgFind.click();           // "Поиск" again
    record();

    const std::vector<std::string> expected{
        "Найдено устройство Telvarn-1, порт : SIM",
        "Серийный номер программатора : 00012345",
        "Версия загрузчика программатора : 0102",
        "Версия программы программатора : 15",
        "Выбрана микросхема : 9912ЛК047",
        "Буфер очищен",
        "Загружено 5 строк из файла " + folder.file("chip.txt") +
            ", контрольная сумма = 2DD3A93A",
        "Ошибка в строке 5 : недопустимое значение abc",
        "Загрузка данных в программатор : OK",
        "Проверка данных программатора : OK",
        "Программирование : OK",
        "Загрузка данных в программатор : OK",
        "Проверка данных программатора : OK",
        "Прожиг : OK",
        "Выбрана новая микросхема",
        "Выбрана микросхема : 9912ЛК047_old",
        "RAM_WRITE 0xFF : OK",
        "RAM_READ 0xFF : OK",
        "RAM_WRITE 0x00 : OK",
        "RAM_READ 0x00 : OK",
        "RAM_WRITE RND : OK",
        "RAM_READ RND : OK",
        "Тестовая посылка выполнена",
        "Состояние выходов MUX=101 установлено",
        "Напряжение VDD3 установлено",
        "Напряжение VDD5 установлено",
        "Напряжение VDDU установлено",
        "Напряжение VPR установлено",
        "Напряжение VPR отключено",
        "Загружено 600 байт из файла Telvarn-1_APPL.cbin",
        "Основное приложение стерто",
        "Программирование завершено",
        "Запуск основного приложения : OK",
        "Найдено устройство Telvarn-1, порт : SIM",
        "Серийный номер программатора : 00012345",
        "Версия загрузчика программатора : 0102",
        "Версия программы программатора : 15",
    };
    EXPECT_EQ(std::vector<std::string>(w.log.lines().begin(), w.log.lines().end()), expected);
    EXPECT_EQ(dialogs.questions.size(), 1u);  // "Вы уверены?" before the burn
    EXPECT_TRUE(dialogs.errors.empty());
}

}  // namespace
