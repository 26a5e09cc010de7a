#include "platform_win32/win32_port_list.h"

#include <windows.h>

#include "platform_win32/win32_text.h"

std::vector<std::string> Win32PortEnumerator::listPorts() {
    std::vector<std::string> names;
    HKEY key = nullptr;
    // Serial drivers list each port they serve here as a value whose data is its name.
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE,
                      &key) != ERROR_SUCCESS) {
        return names;
    }
    DWORD longestName = 0;
    DWORD longestData = 0;
    if (RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                         &longestName, &longestData, nullptr, nullptr) == ERROR_SUCCESS) {
        std::wstring valueName(longestName + 1, L'\0');
        // Room for a terminating zero the driver may not have stored.
        std::wstring data(longestData / sizeof(wchar_t) + 1, L'\0');
        for (DWORD index = 0;; ++index) {
            DWORD nameLength = static_cast<DWORD>(valueName.size());
            DWORD dataBytes = static_cast<DWORD>((data.size() - 1) * sizeof(wchar_t));
            DWORD type = 0;
            const LSTATUS status =
                RegEnumValueW(key, index, valueName.data(), &nameLength, nullptr, &type,
                              reinterpret_cast<BYTE*>(data.data()), &dataBytes);
            // A port added while listing makes a buffer short; it shows at the next listing.
            if (status == ERROR_MORE_DATA) continue;
            if (status != ERROR_SUCCESS) break;
            if (type != REG_SZ) continue;
            std::wstring port(data.data(), dataBytes / sizeof(wchar_t));
            port.resize(port.find(L'\0') == std::wstring::npos ? port.size() : port.find(L'\0'));
            if (!port.empty()) names.push_back(wideToUtf8(port));
        }
    }
    RegCloseKey(key);
    return names;
}
