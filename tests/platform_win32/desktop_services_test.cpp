#include "platform_win32/win32_desktop_services.h"

// The shell's header builds on <windows.h>.
// clang-format off
#include <windows.h>
#include <shellapi.h>
// clang-format on

#include <gtest/gtest.h>

#include "base/text_encoding.h"
#include "platform_win32/win32_text.h"

namespace {

TEST(Win32Text, Utf8AndUtf16RoundTripAndMalformedInputBecomesReplacementCharacters) {
    const std::pair<std::string, std::wstring> pairs[] = {
        {"", L""}, {"COM3", L"COM3"}, {"Прошить Ёё", L"Прошить Ёё"}, {"😀", L"\xD83D\xDE00"}};
    for (const auto& [utf8, wide] : pairs) {
        EXPECT_EQ(utf8ToWide(utf8), wide) << utf8;
        EXPECT_EQ(wideToUtf8(wide), utf8) << utf8;
    }
    for (const char* bad : {"a\xFF", "a\xD0", "a\xC0\xAF", "a\xED\xA0\x80"}) {
        EXPECT_EQ(utf8ToWide(bad).substr(0, 2), L"a\xFFFD") << bad;
    }
    const std::string lone = wideToUtf8(std::wstring{L'a', wchar_t(0xD800), L'b'});
    EXPECT_TRUE(isValidUtf8(lone) && lone.front() == 'a' && lone.back() == 'b') << lone;
}

TEST(Win32FileFilter, EntriesBecomeTheDoubleNulList) {
    const std::pair<std::string, std::vector<std::wstring>> cases[] = {
        {"Все файлы|*.*|*.txt|*.txt", {L"Все файлы", L"*.*", L"*.txt", L"*.txt"}},
        {"Данные|*.txt; *.*", {L"Данные", L"*.txt;*.*"}},
        {"Прошивка|*.cbin|", {L"Прошивка", L"*.cbin"}},
        {"", {}},
    };
    for (const auto& [filters, parts] : cases) {
        std::wstring expected;
        for (const auto& part : parts) expected += part + L'\0';
        EXPECT_EQ(win32FileFilter(filters), parts.empty() ? expected : expected + L'\0') << filters;
    }
}

TEST(Win32CommandLine, ArgumentsComeBackAsTheSystemSplitsThem) {
    const std::string path = "C:\\Program Files\\Телварн\\Telvarn.exe";
    std::vector<std::string> args = {"PAUSE",       "",
                                     "two words",   "tab\there",
                                     "quote\"in",   "back\\slash",
                                     "ends with\\", "\\\\server\\s\\",
                                     "x\\\"y",      "\\\"",
                                     "Прошить файл"};
    int count = 0;
    wchar_t** argv = CommandLineToArgvW(win32CommandLine(path, args).c_str(), &count);
    ASSERT_NE(argv, nullptr);
    std::vector<std::string> split;
    for (int i = 0; i < count; ++i) split.push_back(wideToUtf8(argv[i]));
    LocalFree(argv);
    args.insert(args.begin(), path);
    EXPECT_EQ(split, args);
}

TEST(Win32SystemServices, StartProcessRunsAHiddenChildOrRaisesTheSystemsError) {
    wchar_t temp[MAX_PATH];
    GetTempPathW(MAX_PATH, temp);
    const std::string folder =
        wideToUtf8(temp) + "Телварн " + std::to_string(GetCurrentProcessId());
    Win32SystemServices services;
    services.startProcess("cmd.exe", {"/c", "mkdir", folder}, true);
    const std::wstring made = utf8ToWide(folder);
    for (int i = 0; i < 500 && GetFileAttributesW(made.c_str()) == INVALID_FILE_ATTRIBUTES; ++i) {
        Sleep(20);  // the child runs on its own
    }
    ASSERT_NE(GetFileAttributesW(made.c_str()), INVALID_FILE_ATTRIBUTES) << "the child never ran";
    // The child may hold its new folder a moment longer than it takes to make it.
    bool removed = false;
    for (int i = 0; i < 500 && !(removed = RemoveDirectoryW(made.c_str())); ++i) Sleep(20);
    EXPECT_TRUE(removed) << folder;

    // The system's text, without the line break it ends in.
    const std::string missing = "C:\\nowhere\\missing.exe";
    try {
        services.startProcess(missing, {}, true);
        ADD_FAILURE() << "started";
    } catch (const std::runtime_error& error) {
        const std::string text = error.what();
        EXPECT_TRUE(text.starts_with(missing + ": ") && text.size() > missing.size() + 2) << text;
        EXPECT_EQ(text.find_first_of("\r\n"), std::string::npos) << text;
    }
}

}  // namespace
