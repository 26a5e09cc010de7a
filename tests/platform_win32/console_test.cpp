// telvarn-cli.exe as cmd.exe starts it: a Cyrillic file name reaches it whole,
// and its lines reach a pipe as UTF-8.
#include <gtest/gtest.h>
#include <windows.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "platform_win32/win32_desktop_services.h"
#include "platform_win32/win32_text.h"

namespace {

std::filesystem::path besideThisProgram(const wchar_t* name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    return std::filesystem::path(self).parent_path() / name;
}

// Runs the command line with standard output and error into the file; its exit code.
DWORD runInto(const std::wstring& commandLine, const std::filesystem::path& output) {
    SECURITY_ATTRIBUTES inherit{sizeof inherit, nullptr, TRUE};
    const HANDLE file = CreateFileW(output.c_str(), GENERIC_WRITE, FILE_SHARE_READ, &inherit,
                                    CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    startup.dwFlags = STARTF_USESTDHANDLES;
    startup.hStdOutput = file;
    startup.hStdError = file;
    PROCESS_INFORMATION process{};
    std::wstring line = commandLine;
    const BOOL started = CreateProcessW(nullptr, line.data(), nullptr, nullptr, TRUE,
                                        CREATE_NO_WINDOW, nullptr, nullptr, &startup, &process);
    CloseHandle(file);
    if (!started) return 0xFFFFFFFF;
    WaitForSingleObject(process.hProcess, 60000);
    DWORD code = 0xFFFFFFFF;
    GetExitCodeProcess(process.hProcess, &code);
    CloseHandle(process.hThread);
    CloseHandle(process.hProcess);
    return code;
}

TEST(Win32Console, ACyrillicFileNameOnTheCommandLineIsFoundAndItsLinesReachAPipeAsUtf8) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const auto folder =
        std::filesystem::path(temp) / (L"Телварн " + std::to_wstring(GetCurrentProcessId()));
    std::filesystem::create_directories(folder);
    const auto data = folder / L"прошивка.txt";
    std::ofstream(data, std::ios::binary) << "0\n7\n$10\n\n30000\n";
    const auto output = folder / L"out.txt";
    SetEnvironmentVariableW(L"TELVARN_PORTS", L"");

    const std::string cli = besideThisProgram(L"telvarn-cli.exe").string();
    const DWORD code = runInto(win32CommandLine(cli, {"load", wideToUtf8(data.wstring())}), output);

    std::ifstream in(output, std::ios::binary);
    const std::string printed{std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
    in.close();
    EXPECT_EQ(code, 0u) << printed;
    EXPECT_NE(printed.find("прошивка.txt"), std::string::npos) << printed;
    // The ended child may hold its output a moment longer.
    std::error_code error;
    for (int i = 0; i < 250; ++i) {
        std::filesystem::remove_all(folder, error);
        if (!error) break;
        Sleep(20);
    }
}

}  // namespace
