#include "window/shown_in_menu.h"

#include <gtest/gtest.h>

#include "window/main_menu.h"

namespace {

// A menu as it opens: the captions shown, "-" for a separator.
std::vector<std::string> shownCaptions(const MenuItem& menu) {
    std::vector<std::string> captions;
    for (const MenuItem* item : menu.children()) {
        if (shownInMenu(*item)) captions.push_back(item->caption());
    }
    return captions;
}

struct MenuState {
    const char* name;
    void (*change)(MainMenu&);
    MenuItem MainMenu::*menu;
    std::vector<std::string> shown;
};

void PrintTo(const MenuState& state, std::ostream* out) {
    *out << state.name;
}

void serviceMode(MainMenu& m) {
    for (MenuItem* item :
         {&m.MainMenuChipDump, &m.MainMenuChipLoadRamFinal, &m.MainMenuChipLoadFuseFunal,
          &m.MainMenuProgCheckRam, &m.MainMenuProgCheckPorts, &m.MainMenuProgShow}) {
        item->setVisible(true);
    }
}

const MenuState kMenuStates[] = {
    {"ChipServiceItemsHiddenOneSeparatorForTwo",
     [](MainMenu&) {},
     &MainMenu::MainMenuChip,
     {"Новая микросхема", "Тип", "Загрузить файл в буфер", "-", "Прошить", "-", "Прожечь"}},
    {"ProgrammerServiceItemsHiddenNoSeparatorAtTheEnd",
     [](MainMenu&) {},
     &MainMenu::MainMenuProg,
     {"Поиск", "Напряжение", "Установка MUX"}},
    {"ChipInServiceModeEverySeparator",
     serviceMode,
     &MainMenu::MainMenuChip,
     {"Новая микросхема", "Тип", "Загрузить файл в буфер", "-", "Показать буфер",
      "Прошить 29628 (все типы ИС)", "Прожечь 30717 (только 9912ЛК047)", "-", "Прошить", "-",
      "Прожечь"}},
    {"ProgrammerInServiceMode",
     serviceMode,
     &MainMenu::MainMenuProg,
     {"Поиск", "Напряжение", "Установка MUX", "-", "Проверка RAM", "Проверка выходов",
      "Показ/скрытие проверок"}},
    {"FirstItemsHiddenNoSeparatorAtTheStart",
     [](MainMenu& m) {
         for (MenuItem* item :
              {&m.MainMenuChipModeNew, &m.MainMenuChipMode, &m.MainMenuChipLoadFile}) {
             item->setVisible(false);
         }
     },
     &MainMenu::MainMenuChip,
     {"Прошить", "-", "Прожечь"}},
    {"LastItemHiddenNoSeparatorAtTheEnd",
     [](MainMenu& m) { m.MainMenuChipLoadFuse.setVisible(false); },
     &MainMenu::MainMenuChip,
     {"Новая микросхема", "Тип", "Загрузить файл в буфер", "-", "Прошить"}},
    {"AHiddenSeparatorStaysHidden",
     [](MainMenu& m) { m.MainMenuChipBr2.setVisible(false); },
     &MainMenu::MainMenuChip,
     {"Новая микросхема", "Тип", "Загрузить файл в буфер", "-", "Прошить", "Прожечь"}},
};

struct ShownInMenu : ::testing::TestWithParam<MenuState> {};

TEST_P(ShownInMenu, ShowsASeparatorOnlyBetweenTwoItems) {
    MainMenu menu;
    GetParam().change(menu);
    EXPECT_EQ(shownCaptions(menu.*GetParam().menu), GetParam().shown);
}

INSTANTIATE_TEST_SUITE_P(MainMenu, ShownInMenu, ::testing::ValuesIn(kMenuStates),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(ShownInMenu, HiddenItemsAndTopLevelMenusFollowTheirOwnVisibility) {
    MainMenu menu;
    EXPECT_FALSE(shownInMenu(menu.MainMenuChipDump));
    EXPECT_TRUE(shownInMenu(menu.MainMenuUpdate));  // disabled, but shown
    menu.MainMenuHelp.setVisible(false);
    EXPECT_FALSE(shownInMenu(menu.MainMenuHelp));
}

}  // namespace
