// Selecting rows of the Win32 log and copying them: the mouse, the keys and
// the context menu, as an operator uses them.
#include <chrono>
#include <cstdio>

#include "ui_win32/win32_log_menu.h"
#include "view_rig.h"

namespace {

std::wstring clipboardText() {
    if (!OpenClipboard(nullptr)) return L"(no clipboard)";
    std::wstring text;
    if (const HANDLE data = GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(GlobalLock(data))) {
            text = chars;
            GlobalUnlock(data);
        }
    }
    CloseClipboard();
    return text;
}

void clearClipboard() {
    if (!OpenClipboard(nullptr)) return;
    EmptyClipboard();
    CloseClipboard();
}

// The keys held, for the list's own look at the keyboard.
void hold(std::initializer_list<BYTE> keys) {
    BYTE state[256] = {};
    for (const BYTE key : keys) state[key] = 0x80;
    SetKeyboardState(state);
}

struct Win32LogCopy : ViewRig {
    void SetUp() override {
        ViewRig::SetUp();
        if (IsSkipped()) return;
        for (int n = 0; n < 6; ++n) model->log.append("Строка " + std::to_string(n));
        view->show(SW_SHOWNOACTIVATE);
        runLoop();
        clearClipboard();
    }
    void TearDown() override { hold({}); }

    // A click on a row with the keys held: MK_SHIFT, MK_CONTROL or none.
    void click(int row, WPARAM modifiers) {
        hold({static_cast<BYTE>((modifiers & MK_SHIFT) != 0 ? VK_SHIFT : 0),
              static_cast<BYTE>((modifiers & MK_CONTROL) != 0 ? VK_CONTROL : 0)});
        RECT rect{};
        ListView_GetItemRect(list(), row, &rect, LVIR_LABEL);
        const LPARAM at = MAKELPARAM(rect.left + 4, (rect.top + rect.bottom) / 2);
        SendMessageW(list(), WM_LBUTTONDOWN, MK_LBUTTON | modifiers, at);
        SendMessageW(list(), WM_LBUTTONUP, modifiers, at);
        hold({});
    }

    void controlKey(WORD key) {
        hold({VK_CONTROL});
        SendMessageW(list(), WM_KEYDOWN, key, 1);
        SendMessageW(list(), WM_KEYUP, key, 0xC0000001);
        hold({});
    }
};

// What the operator does before copying, and what the clipboard then holds.
struct Selection {
    const char* name;
    void (*select)(Win32LogCopy&);
    WORD copyKey;
    const wchar_t* copied;
};

void PrintTo(const Selection& selection, std::ostream* out) {
    *out << selection.name;
}

const Selection kSelections[] = {
    {"OneRowCtrlC", [](Win32LogCopy& t) { t.click(3, 0); }, 'C', L"Строка 3"},
    {"ShiftClickSelectsARange",
     [](Win32LogCopy& t) {
         t.click(1, 0);
         t.click(3, MK_SHIFT);
     },
     'C', L"Строка 1\r\nСтрока 2\r\nСтрока 3"},
    {"CtrlClickAddsARowCtrlInsert",
     [](Win32LogCopy& t) {
         t.click(4, 0);
         t.click(0, MK_CONTROL);
     },
     VK_INSERT, L"Строка 0\r\nСтрока 4"},
    {"CtrlAThenCtrlC", [](Win32LogCopy& t) { t.controlKey('A'); }, 'C',
     L"Строка 0\r\nСтрока 1\r\nСтрока 2\r\nСтрока 3\r\nСтрока 4\r\nСтрока 5"},
    {"NothingSelectedLeavesTheClipboard", [](Win32LogCopy&) {}, 'C', L""},
};

struct CopiedSelection : Win32LogCopy, ::testing::WithParamInterface<Selection> {};

TEST_P(CopiedSelection, PutsTheSelectedLinesOnTheClipboard) {
    GetParam().select(*this);
    controlKey(GetParam().copyKey);
    EXPECT_EQ(clipboardText(), GetParam().copied);
}

INSTANTIATE_TEST_SUITE_P(Win32LogCopy, CopiedSelection, ::testing::ValuesIn(kSelections),
                         [](const auto& info) { return std::string(info.param.name); });

// One row of a popup menu: its text ("-" for a separator) and whether it is greyed.
std::vector<std::pair<std::wstring, bool>> menuRows(HMENU menu) {
    std::vector<std::pair<std::wstring, bool>> rows;
    for (int position = 0; position < GetMenuItemCount(menu); ++position) {
        wchar_t text[64] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 64, MF_BYPOSITION);
        const UINT state = GetMenuState(menu, static_cast<UINT>(position), MF_BYPOSITION);
        const bool separator = (state & MF_SEPARATOR) != 0;
        rows.emplace_back(separator ? L"-" : text, !separator && (state & MF_GRAYED) != 0);
    }
    return rows;
}

struct MenuCase {
    const char* name;
    bool cleared;
    bool selectRow;
    bool copyGreyed;
    bool selectAllGreyed;
};

void PrintTo(const MenuCase& c, std::ostream* out) {
    *out << c.name;
}

struct ContextMenu : Win32LogCopy, ::testing::WithParamInterface<MenuCase> {};

TEST_P(ContextMenu, OffersCopyAndSelectAllAsTheLogAllows) {
    if (GetParam().cleared) model->log.clear();
    if (GetParam().selectRow) click(2, 0);
    const HMENU menu = view->logView().contextMenu();
    EXPECT_EQ(menuRows(menu), (std::vector<std::pair<std::wstring, bool>>{
                                  {L"Копировать\tCtrl+C", GetParam().copyGreyed},
                                  {L"-", false},
                                  {L"Выделить всё\tCtrl+A", GetParam().selectAllGreyed}}));
    DestroyMenu(menu);
}

INSTANTIATE_TEST_SUITE_P(Win32LogCopy, ContextMenu,
                         ::testing::Values(MenuCase{"EmptyLog", true, false, true, true},
                                           MenuCase{"NothingSelected", false, false, true, false},
                                           MenuCase{"ARowSelected", false, true, false, false}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(Win32LogCopy, TheContextMenusSelectAllThenCopyTakeEveryLine) {
    view->logView().contextCommand(kLogMenuSelectAll);
    view->logView().contextCommand(kLogMenuCopy);
    EXPECT_EQ(clipboardText(),
              L"Строка 0\r\nСтрока 1\r\nСтрока 2\r\nСтрока 3\r\nСтрока 4\r\nСтрока 5");
}

TEST_F(Win32LogCopy, ARightClickOpensTheMenuAndItsChoiceActs) {
    // The menu's own loop takes the keys waiting: up to its last item, Enter.
    PostMessageW(window(), WM_KEYDOWN, VK_UP, 1);
    PostMessageW(window(), WM_KEYDOWN, VK_RETURN, 1);
    SendMessageW(window(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(list()), MAKELPARAM(50, 50));
    EXPECT_EQ(ListView_GetSelectedCount(list()), 6u);
}

// Figures, not assertions: run with --gtest_also_run_disabled_tests.
TEST_F(Win32LogCopy, DISABLED_MillionLineCopyFigures) {
    model->log.clear();
    for (std::size_t n = 0; n < 1048576; ++n)
        model->log.append("Ошибка в строке " + std::to_string(n));
    runLoop();
    using Clock = std::chrono::steady_clock;
    const auto start = Clock::now();
    controlKey('A');
    const auto selected = Clock::now();
    controlKey('C');
    const auto copied = Clock::now();
    const auto ms = [](Clock::time_point from, Clock::time_point to) {
        return std::chrono::duration<double, std::milli>(to - from).count();
    };
    std::printf("1048576 lines: Ctrl+A %.0f ms, Ctrl+C %.0f ms, both %.0f ms (%zu characters)\n",
                ms(start, selected), ms(selected, copied), ms(start, copied),
                clipboardText().size());
}

}  // namespace
