#pragma once

#include <array>
#include <string>
#include <vector>

#include "window/menu_item.h"

// The window's whole menu bar, item by item, in menu order and initial state.
class MainMenu {
  public:
    MainMenu();
    MainMenu(const MainMenu&) = delete;
    MainMenu& operator=(const MainMenu&) = delete;

    MenuItem MainMenuChip{"MainMenuChip", "Микросхема"};
    MenuItem MainMenuChipModeNew{"MainMenuChipModeNew", "Новая микросхема", "F5"};
    MenuItem MainMenuChipMode{"MainMenuChipMode", "Тип"};
    MenuItem MainMenuChipMode01{"MainMenuChipMode01", "9912ЛК047_old"};
    MenuItem MainMenuChipMode02{"MainMenuChipMode02", "9912ЛК047"};
    MenuItem MainMenuChipLoadFile{"MainMenuChipLoadFile", "Загрузить файл в буфер", "F2"};
    MenuItem MainMenuChipBr0{"MainMenuChipBr0", "-"};
    MenuItem MainMenuChipDump{"MainMenuChipDump", "Показать буфер", "F3"};
    MenuItem MainMenuChipLoadRamFinal{"MainMenuChipLoadRamFinal", "Прошить 29628 (все типы ИС)"};
    MenuItem MainMenuChipLoadFuseFunal{"MainMenuChipLoadFuseFunal",
                                       "Прожечь 30717 (только 9912ЛК047)"};
    MenuItem MainMenuChipBr1{"MainMenuChipBr1", "-"};
    MenuItem MainMenuChipLoadRam{"MainMenuChipLoadRam", "Прошить", "F4"};
    MenuItem MainMenuChipBr2{"MainMenuChipBr2", "-"};
    MenuItem MainMenuChipLoadFuse{"MainMenuChipLoadFuse", "Прожечь", "Ctrl+F4"};

    MenuItem MainMenuUpdate{"MainMenuUpdate", "Обновление"};
    MenuItem MainMenuUpdatePog{"MainMenuUpdatePog", "Программы"};
    MenuItem MainMenuUpdateCbin{"MainMenuUpdateCbin", "Прошивки"};

    MenuItem MainMenuProg{"MainMenuProg", "Программатор"};
    MenuItem MainMenuProgFind{"MainMenuProgFind", "Поиск"};
    MenuItem MainMenuProgVdd{"MainMenuProgVdd", "Напряжение"};
    MenuItem MainMenuProgVdd3{"MainMenuProgVdd3", "VDD3"};
    MenuItem MainMenuProgVdd5{"MainMenuProgVdd5", "VDD5"};
    MenuItem MainMenuProgVddU{"MainMenuProgVddU", "VDDU"};
    MenuItem MainMenuProgVpr{"MainMenuProgVpr", "VPR"};
    MenuItem MainMenuProgMUX{"MainMenuProgMUX", "Установка MUX"};
    MenuItem MainMenuProgMUX000{"MainMenuProgMUX000", "Канал 0"};
    MenuItem MainMenuProgMUX001{"MainMenuProgMUX001", "Канал 1"};
    MenuItem MainMenuProgMUX010{"MainMenuProgMUX010", "Канал 2"};
    MenuItem MainMenuProgMUX011{"MainMenuProgMUX011", "Канал 3"};
    MenuItem MainMenuProgMUX100{"MainMenuProgMUX100", "Канал 4"};
    MenuItem MainMenuProgMUX101{"MainMenuProgMUX101", "Канал 5"};
    MenuItem MainMenuProgMUX110{"MainMenuProgMUX110", "Канал 6"};
    MenuItem MainMenuProgMUX111{"MainMenuProgMUX111", "Канал 7"};
    MenuItem MainMenuProgBr0{"MainMenuProgBr0", "-"};
    MenuItem MainMenuProgCheckRam{"MainMenuProgCheckRam", "Проверка RAM"};
    MenuItem MainMenuProgCheckPorts{"MainMenuProgCheckPorts", "Проверка выходов"};
    MenuItem MainMenuProgShow{"MainMenuProgShow", "Показ/скрытие проверок", "Ctrl+F12"};

    MenuItem MainMenuHelp{"MainMenuHelp", "Помощь"};
    MenuItem MainMenuHelpAbout{"MainMenuHelpAbout", "Версия программы"};
    MenuItem MainMenuHelpLoadCbin{"MainMenuHelpLoadCbin", "Файл прошивки"};

    // The eight channel items, channel 0 first.
    std::array<MenuItem*, 8> channels();

    // The top-level menus, left to right.
    std::vector<MenuItem*> topLevel();
    // Every item, depth first in menu order.
    std::vector<MenuItem*> all();

    // Acts on a shortcut such as "Ctrl+F12". The item may be hidden; it and each
    // of its parents must be enabled. Parents' click actions run first, outermost
    // first, then the item's own. Returns whether an item took the shortcut.
    bool pressShortcut(const std::string& shortcut);
};
