#include <cstdlib>
#include <filesystem>
#include <functional>

#include "platform_win32/win32_message_pump.h"
#include "ui_win32/win32_dpi.h"
#include "ui_win32/win32_window_icons.h"
#include "view_rig.h"
#include "window/shown_in_menu.h"

namespace {

// One row of a menu: "-" for a separator, then grayed, checked, has a submenu.
using Row = std::tuple<std::wstring, bool, bool, bool>;

std::vector<Row> windowRows(HMENU menu) {
    std::vector<Row> rows;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[256] = {};
        MENUITEMINFOW info{};
        info.cbSize = sizeof info;
        info.fMask = MIIM_FTYPE | MIIM_STATE | MIIM_STRING | MIIM_SUBMENU;
        info.dwTypeData = text;
        info.cch = static_cast<UINT>(std::size(text));
        GetMenuItemInfoW(menu, static_cast<UINT>(position), TRUE, &info);
        rows.emplace_back((info.fType & MFT_SEPARATOR) != 0 ? L"-" : text,
                          (info.fState & MFS_GRAYED) != 0, (info.fState & MFS_CHECKED) != 0,
                          info.hSubMenu != nullptr);
    }
    return rows;
}

// Two separators together, or one at either end of a menu.
bool straySeparator(const std::vector<Row>& rows) {
    for (std::size_t at = 0; at < rows.size(); ++at) {
        if (std::get<0>(rows[at]) != L"-") continue;
        if (at == 0 || at + 1 == rows.size() || std::get<0>(rows[at + 1]) == L"-") return true;
    }
    return false;
}

// The window's whole menu tree against the model's: what its menus do not
// show left out, the shortcut after a tab.
void expectMenusFollow(HMENU menu, const std::vector<MenuItem*>& items, const std::string& path) {
    SCOPED_TRACE(path);
    std::vector<Row> expected;
    std::vector<const MenuItem*> shown;
    for (const MenuItem* item : items) {
        if (!shownInMenu(*item)) continue;
        shown.push_back(item);
        const std::string tab = item->shortcut().empty() ? "" : "\t" + item->shortcut();
        expected.emplace_back(wide(item->caption() + tab), !item->enabled(), item->checked(),
                              !item->children().empty());
    }
    ASSERT_EQ(windowRows(menu), expected);
    EXPECT_FALSE(straySeparator(windowRows(menu)));
    for (std::size_t position = 0; position < shown.size(); ++position) {
        if (shown[position]->children().empty()) continue;
        expectMenusFollow(GetSubMenu(menu, static_cast<int>(position)), shown[position]->children(),
                          path + " > " + shown[position]->caption());
    }
}

using Win32View = ViewRig;

TEST_F(Win32View, IsATitledWindowWithoutAMaximiseBox) {
    wchar_t title[64] = {};
    GetWindowTextW(window(), title, static_cast<int>(std::size(title)));
    EXPECT_STREQ(title, L"Telvarn");
    EXPECT_FALSE(GetWindowLongPtrW(window(), GWL_STYLE) & WS_MAXIMIZEBOX);
}

// The menu bar as built, then after changes the model makes to its items.
struct ItemChange {
    const char* name;
    void (*change)(MainMenu&);
};

void PrintTo(const ItemChange& change, std::ostream* out) {
    *out << change.name;
}

const ItemChange kItemChanges[] = {
    {"AsBuilt", [](MainMenu&) {}},
    {"HiddenItemComesBackAtItsPlace", [](MainMenu& m) { m.MainMenuChipDump.setVisible(true); }},
    {"MarkedItemShownThenUnmarked",
     [](MainMenu& m) {
         m.MainMenuChipLoadRamFinal.setVisible(true);
         m.MainMenuChipLoadRamFinal.setChecked(false);
     }},
    {"ShortcutGiven", [](MainMenu& m) { m.MainMenuProgFind.setShortcut("F12"); }},
    {"SubmenuHiddenAndShownKeepsItsItems",
     [](MainMenu& m) {
         m.MainMenuChipMode.setVisible(false);
         m.MainMenuChipMode02.setChecked(true);
         m.MainMenuChipMode.setVisible(true);
     }},
    {"ServiceModeShownThenHidden",
     [](MainMenu& m) {
         for (const bool on : {true, false}) {
             for (MenuItem* item :
                  {&m.MainMenuChipDump, &m.MainMenuChipLoadRamFinal, &m.MainMenuChipLoadFuseFunal,
                   &m.MainMenuProgCheckRam, &m.MainMenuProgCheckPorts, &m.MainMenuProgShow}) {
                 item->setVisible(on);
             }
         }
     }},
    {"ServiceModeShown",
     [](MainMenu& m) {
         for (MenuItem* item : {&m.MainMenuChipDump, &m.MainMenuProgCheckRam}) {
             item->setVisible(true);
         }
     }},
    {"TopLevelMenusHiddenAndShown",
     [](MainMenu& m) {
         m.MainMenuUpdate.setVisible(false);
         m.MainMenuHelp.setVisible(false);
         m.MainMenuHelp.setVisible(true);
     }},
};

struct MenuChange : ViewRig, ::testing::WithParamInterface<ItemChange> {};

TEST_P(MenuChange, TheWindowsMenusFollow) {
    GetParam().change(model->menu);
    expectMenusFollow(GetMenu(window()), model->menu.topLevel(), "menu bar");
}

INSTANTIATE_TEST_SUITE_P(Win32View, MenuChange, ::testing::ValuesIn(kItemChanges),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32View, WithTheServiceItemsHiddenNoMenuShowsAStraySeparator) {
    const HMENU bar = GetMenu(window());
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 0)), 7);  // one separator for two
    EXPECT_EQ(GetMenuItemCount(GetSubMenu(bar, 2)), 3);  // none at the end
}

// The window at a DPI, as WM_DPICHANGED brings it there.
struct DpiCase : ViewRig, ::testing::WithParamInterface<UINT> {
    int minimum(int pixels) { return scaledForDpi(pixels, GetParam()); }

    void moveToDpi(UINT dpi, const RECT& suggested) {
        SendMessageW(window(), 0x02E0, MAKEWPARAM(dpi, dpi), reinterpret_cast<LPARAM>(&suggested));
        runLoop();
    }

    static int fontHeight(HWND control) {
        LOGFONTW font{};
        GetObjectW(reinterpret_cast<HFONT>(SendMessageW(control, WM_GETFONT, 0, 0)), sizeof font,
                   &font);
        return std::abs(font.lfHeight);
    }

    int statusHeight() {
        RECT status{};
        GetWindowRect(view->statusBar(), &status);
        return status.bottom - status.top;
    }
};

TEST_P(DpiCase, TakesTheSuggestedPlaceAndScalesItsFontAndMinimum) {
    view->show(SW_SHOWNOACTIVATE);
    const int plainFont = fontHeight(list());
    const int plainStatus = statusHeight();
    // As large on the screen as 600 x 260 on a plain one: the virtual screen holds it.
    const RECT suggested{40, 30, 40 + minimum(600), 30 + minimum(260)};
    moveToDpi(GetParam(), suggested);
    EXPECT_EQ(view->dpi(), GetParam());
    EXPECT_EQ(view->placement(), (WindowPlace{40, 30, minimum(600), minimum(260)}));
    EXPECT_NEAR(fontHeight(list()), scaledForDpi(plainFont, GetParam()), 1);
    EXPECT_EQ(fontHeight(view->statusBar()), fontHeight(list()));
    if (GetParam() > kPlainDpi) {
        EXPECT_GT(statusHeight(), plainStatus);
    }

    // The operator drags it smaller than the frame allows.
    SetWindowPos(window(), nullptr, 40, 30, 100, 50, SWP_NOZORDER | SWP_NOACTIVATE);
    EXPECT_EQ(view->placement(), (WindowPlace{40, 30, minimum(500), minimum(200)}));
    MINMAXINFO limits{};
    SendMessageW(window(), WM_GETMINMAXINFO, 0, reinterpret_cast<LPARAM>(&limits));
    EXPECT_EQ(limits.ptMinTrackSize.x, minimum(500));
    EXPECT_EQ(limits.ptMinTrackSize.y, minimum(200));
}

INSTANTIATE_TEST_SUITE_P(Win32View, DpiCase, ::testing::Values(96u, 120u, 144u, 192u),
                         [](const auto& info) { return "Dpi" + std::to_string(info.param); });

TEST_F(Win32View, AWiderWindowRepaintsTheWholeStatusBarSoNoOldGripStays) {
    view->show(SW_SHOWNOACTIVATE);
    runLoop();
    UpdateWindow(window());
    RedrawWindow(window(), nullptr, nullptr, RDW_UPDATENOW | RDW_ALLCHILDREN);
    SetWindowPos(window(), nullptr, 100, 100, 900, 300, SWP_NOZORDER | SWP_NOACTIVATE);
    RECT invalid{};
    GetUpdateRect(view->statusBar(), &invalid, FALSE);
    RECT bar{};
    GetClientRect(view->statusBar(), &bar);
    EXPECT_EQ(invalid.left, 0);
    EXPECT_EQ(invalid.right, bar.right);
}

TEST_F(Win32View, HasABigAndASmallIcon) {
    EXPECT_NE(SendMessageW(window(), WM_GETICON, ICON_BIG, 0), 0);
    EXPECT_NE(SendMessageW(window(), WM_GETICON, ICON_SMALL, 0), 0);
}

int iconWidth(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    BITMAP bitmap{};
    GetObjectW(info.hbmColor != nullptr ? info.hbmColor : info.hbmMask, sizeof bitmap, &bitmap);
    if (info.hbmColor != nullptr) DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return bitmap.bmWidth;
}

// Telvarn.exe, built beside the tests, carries the icon the window loads.
TEST(Win32ViewIcon, TheProgramsIconComesAtEverySizeAWindowAsksFor) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    path = path.substr(0, path.find_last_of(L"\\/") + 1) + L"Telvarn.exe";
    const HMODULE program = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(program, nullptr) << "Telvarn.exe is built beside the tests";
    for (const int size : {16, 20, 24, 32, 48, 64}) {
        const HICON icon = loadProgramIcon(program, size);
        ASSERT_NE(icon, nullptr) << size;
        EXPECT_EQ(iconWidth(icon), size);
        DestroyIcon(icon);
    }
    EXPECT_EQ(loadProgramIcon(GetModuleHandleW(nullptr), 32), nullptr);  // a test has none
    FreeLibrary(program);
}

TEST_F(Win32View, AMenuCommandClicksItsItemAndLeavesTheMarkAsTheItemHasIt) {
    model->menu.MainMenuProgMUX101.setChecked(true);
    for (const MenuItem* item : {&model->menu.MainMenuHelpAbout, &model->menu.MainMenuProgMUX101}) {
        const WORD command = view->menuBar().commandOf(*item);
        SendMessageW(window(), WM_COMMAND, MAKEWPARAM(command, 0), 0);
    }
    runLoop();
    EXPECT_EQ(rows(), (std::vector<std::wstring>{L"Версия программы Telvarn : 14",
                                                 L"Ошибка установки состояния выходов MUX=101"}));
    const HMENU mux = view->menuBar().popupOf(model->menu.MainMenuProgMUX);
    EXPECT_TRUE(GetMenuState(mux, 5, MF_BYPOSITION) & MF_CHECKED);
}

TEST_F(Win32View, OpeningTheProgrammerMenuRefreshesIt) {
    // Without a programmer the refresh greys out the supplies.
    const HMENU programmer = GetSubMenu(GetMenu(window()), 2);
    ASSERT_FALSE(GetMenuState(programmer, 1, MF_BYPOSITION) & MF_GRAYED);
    SendMessageW(window(), WM_INITMENUPOPUP, reinterpret_cast<WPARAM>(programmer), 2);
    EXPECT_TRUE(GetMenuState(programmer, 1, MF_BYPOSITION) & MF_GRAYED);
}

// A key with Ctrl or Shift held, the item it is for, a change to the menu
// before it, and whether it reaches the item.
struct KeyPress {
    const char* name;
    BYTE modifier;
    WORD key;
    MenuItem MainMenu::*item;
    void (*before)(MainMenu&);
    bool reaches;
};

const KeyPress kKeyPresses[] = {
    {"F2LoadsAFile", 0, VK_F2, &MainMenu::MainMenuChipLoadFile, nullptr, true},
    {"CtrlF4Burns", VK_CONTROL, VK_F4, &MainMenu::MainMenuChipLoadFuse, nullptr, true},
    {"CtrlF4IsNotF4", VK_CONTROL, VK_F4, &MainMenu::MainMenuChipLoadRam, nullptr, false},
    {"CtrlF12ReachesTheHiddenShowItem", VK_CONTROL, VK_F12, &MainMenu::MainMenuProgShow, nullptr,
     true},
    {"F2UnderADisabledMenuDoesNothing", 0, VK_F2, &MainMenu::MainMenuChipLoadFile,
     [](MainMenu& m) { m.MainMenuChip.setEnabled(false); }, false},
    {"F12BeforeServiceModeDoesNothing", 0, VK_F12, &MainMenu::MainMenuProgCheckPorts, nullptr,
     false},
    {"ShiftF12OnceTheCheckHasIt", VK_SHIFT, VK_F12, &MainMenu::MainMenuProgCheckRam,
     [](MainMenu& m) { m.MainMenuProgCheckRam.setShortcut("Shift+F12"); }, true},
};

void pressKey(Win32MainWindowView& view, HWND target, BYTE modifier, WORD key) {
    BYTE keys[256] = {};
    keys[modifier] = modifier != 0 ? 0x80 : 0;
    SetKeyboardState(keys);
    MSG message{target, WM_KEYDOWN, key, 1, 0, {}};
    view.translateAccelerator(message);
    keys[modifier] = 0;
    SetKeyboardState(keys);
}

void PrintTo(const KeyPress& press, std::ostream* out) {
    *out << press.name;
}

struct Shortcut : ViewRig, ::testing::WithParamInterface<KeyPress> {};

TEST_P(Shortcut, ReachesItsItemAsTheModelAllows) {
    const KeyPress& press = GetParam();
    // The window has had keys before the model's change: its table is made.
    pressKey(*view, list(), 0, VK_F11);
    if (press.before != nullptr) press.before(model->menu);
    int clicks = 0;
    (model->menu.*press.item).setOnClick([&](MenuItem&) { ++clicks; });
    // The log list has the keyboard while the window is active.
    pressKey(*view, list(), press.modifier, press.key);
    EXPECT_EQ(clicks, press.reaches ? 1 : 0);
}

INSTANTIATE_TEST_SUITE_P(Win32View, Shortcut, ::testing::ValuesIn(kKeyPresses),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32View, TheWin32PumpPassesKeysThroughTheAcceleratorsWhileTheViewLives) {
    Win32MessagePump win32Pump;
    Desktop onWin32{win32Pump, beeper, dialogs,       system,
                    port,      ports,  versionSocket, versionCbinSocket};
    MainWindow windowModel(onWin32, {});
    int clicks = 0;
    windowModel.menu.MainMenuChipLoadFile.setOnClick([&](MenuItem&) { ++clicks; });
    auto win32View = std::make_unique<Win32MainWindowView>(windowModel, win32Pump);
    const HWND list = win32View->logView().handle();
    for (int round = 0; round < 2; ++round) {
        // Once the view is gone, the pump has no filter of it left to call.
        if (round == 1) win32View.reset();
        PostMessageW(round == 0 ? list : window(), WM_KEYDOWN, VK_F2, 1);
        win32Pump.processPending();
        EXPECT_EQ(clicks, 1);
    }
}

TEST_F(Win32View, ReadsItsPlaceBackAsItWasPutAndReportsTheOperatorsMoves) {
    // Created where the frame is, in the frame's outer measure.
    EXPECT_EQ(view->placement(), (WindowPlace{100, 100, 700, 300}));
    view->place({200, 100, 720, 300});
    EXPECT_EQ(view->placement(), (WindowPlace{200, 100, 720, 300}));
    view->show(SW_SHOWNOACTIVATE);
    SetWindowPos(window(), nullptr, 40, 30, 800, 400, SWP_NOZORDER | SWP_NOACTIVATE);
    runLoop();
    const WindowFrame& f = model->frame;
    EXPECT_EQ((WindowPlace{f.left(), f.top(), f.width(), f.height()}),
              (WindowPlace{40, 30, 800, 400}));
}

TEST_F(Win32View, ShowsTheStatusTextAndClosesLaterAndQuitsUnlessTheBindingRefuses) {
    view->showStatusText("Программирование 50%");
    wchar_t shown[64] = {};
    SendMessageW(view->statusBar(), SB_GETTEXTW, 0, reinterpret_cast<LPARAM>(shown));
    EXPECT_STREQ(shown, L"Программирование 50%");
    std::filesystem::remove_all(folder.path());  // nowhere to write: the binding refuses
    SendMessageW(window(), WM_CLOSE, 0, 0);
    runLoop();
    EXPECT_TRUE(IsWindow(window()));
    EXPECT_FALSE(quitPosted);

    std::filesystem::create_directories(folder.path());
    view->closeLater();
    runLoop();
    EXPECT_EQ(view->handle(), nullptr);
    EXPECT_TRUE(quitPosted);
    // A window gone leaves the model nothing to call.
    EXPECT_TRUE(model->menu.MainMenuChipDump.changed.empty() && model->log.appended.empty() &&
                model->status.changed.empty() && model->frame.geometryChanged.empty());
}

}  // namespace
