#include "platform_win32/win32_desktop_services.h"

// The dialog and shell headers build on <windows.h>.
// clang-format off
#include <windows.h>
#include <commdlg.h>
#include <objbase.h>
#include <shellapi.h>
// clang-format on

#include <stdexcept>

#include "platform_win32/win32_text.h"

namespace {

constexpr const wchar_t* kCaption = L"Telvarn";

// A box the operator must see: in front, and above the window however it is
// clicked (a maximised window would otherwise hide it with no way back).
constexpr UINT kInFront = MB_TOPMOST | MB_SETFOREGROUND;

// A box owned by the active window keeps that window out of reach until it is
// closed; with no window yet, task-modal does the same for every window of the thread.
int ownedBox(const std::string& text, UINT icon) {
    const HWND owner = GetActiveWindow();
    const UINT modality = owner != nullptr ? 0 : MB_TASKMODAL;
    return MessageBoxW(owner, utf8ToWide(text).c_str(), kCaption,
                       MB_OK | icon | modality | kInFront);
}

std::string trimmed(const std::string& text) {
    const auto first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return {};
    return text.substr(first, text.find_last_not_of(" \t") - first + 1);
}

// Patterns as the dialog wants them: ";"-separated, without the blanks the
// core may put after a ";".
std::string dialogPatterns(const std::string& patterns) {
    std::string result;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = patterns.find(';', start);
        const std::string pattern =
            trimmed(patterns.substr(start, end == std::string::npos ? end : end - start));
        if (!pattern.empty()) result += (result.empty() ? "" : ";") + pattern;
        if (end == std::string::npos) return result;
        start = end + 1;
    }
}

// One argument as the C runtime's splitting reads it back: backslashes are
// literal except in a run before a quote, where each one must be doubled.
std::string quotedArgument(const std::string& arg) {
    if (!arg.empty() && arg.find_first_of(" \t\n\v\"") == std::string::npos) return arg;
    std::string quoted = "\"";
    std::size_t backslashes = 0;
    for (const char c : arg) {
        if (c == '\\') {
            ++backslashes;
            continue;
        }
        quoted.append(c == '"' ? backslashes * 2 + 1 : backslashes, '\\');
        backslashes = 0;
        quoted += c;
    }
    quoted.append(backslashes * 2, '\\');  // the closing quote follows them
    return quoted + '"';
}

}  // namespace

void Win32Beeper::beep() {
    MessageBeep(MB_OK);
}

void Win32Dialogs::showError(const std::string& text) {
    ownedBox(text, MB_ICONERROR);
}

void Win32Dialogs::inform(const std::string& text) {
    ownedBox(text, MB_ICONINFORMATION);
}

bool Win32Dialogs::confirm(const std::string& text, const std::string& title,
                           Default defaultButton) {
    // No owner: the main window stays usable while the question waits.
    const UINT enter = defaultButton == Default::No ? MB_DEFBUTTON2 : MB_DEFBUTTON1;
    return MessageBoxW(nullptr, utf8ToWide(text).c_str(), utf8ToWide(title).c_str(),
                       MB_YESNO | enter | kInFront) == IDYES;
}

std::optional<std::string> Win32Dialogs::openFile(const std::string& initialFolder,
                                                  const std::string& filters) {
    const std::wstring filter = win32FileFilter(filters);
    const std::wstring folder = utf8ToWide(initialFolder);
    // Room for the longest path the system takes, not only MAX_PATH.
    std::wstring file(32768, L'\0');
    OPENFILENAMEW dialog{};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = GetActiveWindow();
    dialog.lpstrFilter = filter.empty() ? nullptr : filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = file.data();
    dialog.nMaxFile = static_cast<DWORD>(file.size());
    dialog.lpstrInitialDir = folder.empty() ? nullptr : folder.c_str();
    // The program's folder stays the current one whatever the operator browses.
    dialog.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR;
    if (!GetOpenFileNameW(&dialog)) {
        const DWORD error = CommDlgExtendedError();
        if (error != 0) throw std::runtime_error("file dialog error " + std::to_string(error));
        return std::nullopt;  // cancelled
    }
    return wideToUtf8(file.c_str());
}

std::wstring win32FileFilter(const std::string& filters) {
    std::vector<std::string> parts;
    std::size_t start = 0;
    for (;;) {
        const std::size_t end = filters.find('|', start);
        parts.push_back(filters.substr(start, end == std::string::npos ? end : end - start));
        if (end == std::string::npos) break;
        start = end + 1;
    }
    std::wstring list;
    for (std::size_t i = 0; i + 1 < parts.size(); i += 2) {
        list += utf8ToWide(parts[i]) + L'\0' + utf8ToWide(dialogPatterns(parts[i + 1])) + L'\0';
    }
    if (!list.empty()) list += L'\0';
    return list;
}

std::wstring win32CommandLine(const std::string& path, const std::vector<std::string>& args) {
    // The program's name is read up to its closing quote, with no escapes:
    // quoted as it stands (a path holds no quote).
    std::string line = "\"" + path + "\"";
    for (const auto& arg : args) line += " " + quotedArgument(arg);
    return utf8ToWide(line);
}

std::string Win32SystemServices::executablePath() {
    std::wstring path(MAX_PATH, L'\0');
    for (;;) {
        const DWORD length =
            GetModuleFileNameW(nullptr, path.data(), static_cast<DWORD>(path.size()));
        if (length == 0) throw std::runtime_error(windowsErrorText(GetLastError()));
        // A path that fills the buffer may have been cut short.
        if (length < path.size()) {
            path.resize(length);
            return wideToUtf8(path);
        }
        path.resize(path.size() * 2);
    }
}

void Win32SystemServices::openUrl(const std::string& url) {
    // The browser may be reached through a shell extension, which needs COM
    // on this thread; a thread that has it already keeps it as it is.
    const HRESULT com = CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED | COINIT_DISABLE_OLE1DDE);
    const auto result = reinterpret_cast<INT_PTR>(
        ShellExecuteW(nullptr, L"open", utf8ToWide(url).c_str(), nullptr, nullptr, SW_SHOWNORMAL));
    const DWORD error = GetLastError();
    if (SUCCEEDED(com)) CoUninitialize();
    if (result <= 32) throw std::runtime_error(url + ": " + windowsErrorText(error));
}

void Win32SystemServices::startProcess(const std::string& path,
                                       const std::vector<std::string>& args, bool hidden) {
    std::wstring commandLine = win32CommandLine(path, args);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    if (hidden) {
        startup.dwFlags = STARTF_USESHOWWINDOW;
        startup.wShowWindow = SW_HIDE;
    }
    PROCESS_INFORMATION process{};
    // No application name: the quoted first word names it, and a bare name is
    // looked for where the system looks for programs.
    if (!CreateProcessW(nullptr, commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        &startup, &process)) {
        throw std::runtime_error(path + ": " + windowsErrorText(GetLastError()));
    }
    // Started and left to run on its own: nothing here waits for it.
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
}

void Win32SystemServices::requestQuit() {
    quitRequested_ = true;
    PostQuitMessage(0);
}
