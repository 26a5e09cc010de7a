// What the file's properties and the shell show of each program: its version,
// from the one place it is set, its manifest, and the window program's icon.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>
#include <vector>

#include "platform_win32/win32_text.h"
#include "program_version.h"

namespace {

std::wstring besideThisProgram(const std::wstring& name) {
    wchar_t self[MAX_PATH];
    GetModuleFileNameW(nullptr, self, MAX_PATH);
    std::wstring path(self);
    return path.substr(0, path.find_last_of(L"\\/") + 1) + name;
}

// A value of the version information's English string table, in UTF-8.
std::string versionString(const std::vector<char>& info, const wchar_t* name) {
    void* value = nullptr;
    UINT size = 0;
    const std::wstring key = std::wstring(L"\\StringFileInfo\\040904B0\\") + name;
    if (!VerQueryValueW(info.data(), key.c_str(), &value, &size) || size == 0) return {};
    return wideToUtf8(static_cast<const wchar_t*>(value));
}

bool hasResource(HMODULE module, LPCWSTR type) {
    return FindResourceW(module, MAKEINTRESOURCEW(1), type) != nullptr;
}

TEST(Win32Resources, EachProgramCarriesItsVersionAndManifestAndTheWindowItsIcon) {
    for (const std::wstring name : {L"Telvarn.exe", L"telvarn-cli.exe", L"telvarn-get.exe"}) {
        const std::wstring path = besideThisProgram(name);
        SCOPED_TRACE(wideToUtf8(path));
        std::vector<char> info(GetFileVersionInfoSizeW(path.c_str(), nullptr));
        ASSERT_FALSE(info.empty()) << "no version information";
        ASSERT_TRUE(
            GetFileVersionInfoW(path.c_str(), 0, static_cast<DWORD>(info.size()), info.data()));
        VS_FIXEDFILEINFO* fixed = nullptr;
        UINT size = 0;
        ASSERT_TRUE(VerQueryValueW(info.data(), L"\\", reinterpret_cast<void**>(&fixed), &size));
        EXPECT_EQ(HIWORD(fixed->dwFileVersionMS), TELVARN_PROGRAM_VERSION);
        EXPECT_EQ(HIWORD(fixed->dwProductVersionMS), TELVARN_PROGRAM_VERSION);
        EXPECT_EQ(versionString(info, L"ProductName"), "Telvarn");
        EXPECT_EQ(versionString(info, L"ProductVersion"), std::to_string(TELVARN_PROGRAM_VERSION));

        const HMODULE module = LoadLibraryExW(path.c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
        ASSERT_NE(module, nullptr);
        EXPECT_TRUE(hasResource(module, MAKEINTRESOURCEW(24))) << "no manifest";
        EXPECT_EQ(hasResource(module, MAKEINTRESOURCEW(14)),
                  name == L"Telvarn.exe")  // RT_GROUP_ICON
            << "the icon";
        FreeLibrary(module);
    }
}

}  // namespace
