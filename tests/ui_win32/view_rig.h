#pragma once

#include <gtest/gtest.h>
// <windows.h> before the common controls, which need its types.
// clang-format off
#include <windows.h>
#include <commctrl.h>
// clang-format on

#include <memory>
#include <string>
#include <vector>

#include "app/main_window.h"
#include "startup/program_files.h"
#include "platform_win32/win32_text.h"
#include "support/desktop_fakes.h"
#include "support/temp_folder.h"
#include "ui_win32/win32_main_window_view.h"

// Wine's window system needs an X display; without one no window can be made.
inline bool windowsAvailable() {
    static const bool available = [] {
        const HWND probe = CreateWindowExW(0, L"STATIC", L"", WS_POPUP, 0, 0, 10, 10, nullptr,
                                           nullptr, GetModuleHandleW(nullptr), nullptr);
        return probe != nullptr && DestroyWindow(probe);
    }();
    return available;
}

// A main window on fake desktop services, its program in a temporary folder,
// and the real Win32 window bound to it.
struct ViewRig : ::testing::Test, PortlessDesktop {
    TempFolder folder;
    std::unique_ptr<MainWindow> model;
    std::unique_ptr<Win32MainWindowView> view;
    bool quitPosted = false;

    void SetUp() override {
        if (!windowsAvailable()) GTEST_SKIP() << "no display: no window can be created";
        system.exePath = folder.file(kProgramFileName);
        model = std::make_unique<MainWindow>(desktop, std::vector<std::string>{});
        view = std::make_unique<Win32MainWindowView>(*model, pump);
    }

    // The program's loop in small: keys through the window's accelerators
    // first, as the Win32 pump's filter does, then the fake pump's calls.
    void runLoop() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            quitPosted = quitPosted || message.message == WM_QUIT;
            if (view && view->translateAccelerator(message)) continue;
            TranslateMessage(&message);
            DispatchMessageW(&message);
        }
        pump.processPending();
    }

    HWND window() const { return view->handle(); }
    HWND list() { return view->logView().handle(); }
    int rowCount() { return static_cast<int>(SendMessageW(list(), LVM_GETITEMCOUNT, 0, 0)); }

    std::wstring rowText(int row) {
        wchar_t text[256] = {};
        LVITEMW item{};
        item.pszText = text;
        item.cchTextMax = static_cast<int>(std::size(text));
        SendMessageW(list(), LVM_GETITEMTEXTW, static_cast<WPARAM>(row),
                     reinterpret_cast<LPARAM>(&item));
        return text;
    }

    std::vector<std::wstring> rows() {
        std::vector<std::wstring> out;
        for (int row = 0; row < rowCount(); ++row) out.push_back(rowText(row));
        return out;
    }
};

inline std::wstring wide(const std::string& text) {
    return utf8ToWide(text);
}
