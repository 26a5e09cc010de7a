#include "wine_helper.h"

#include <windows.h>

#include <stdexcept>

#include "platform_win32/win32_text.h"

SOCKET listenOnLoopback(std::uint16_t& port) {
    static const bool started = [] {
        WSADATA data;
        return WSAStartup(MAKEWORD(2, 2), &data) == 0;
    }();
    const SOCKET fd = started ? ::socket(AF_INET, SOCK_STREAM, IPPROTO_TCP) : INVALID_SOCKET;
    sockaddr_in address{AF_INET, 0, {}, {}};
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    int length = sizeof address;
    if (fd == INVALID_SOCKET || ::bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
        ::listen(fd, 4) != 0 || ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length)) {
        throw std::runtime_error("no socket on 127.0.0.1");
    }
    port = ntohs(address.sin_port);
    return fd;
}

std::uint16_t unusedLoopbackPort() {
    std::uint16_t port = 0;
    closesocket(listenOnLoopback(port));
    return port;
}

bool readable(SOCKET socket, long ms) {
    fd_set set;
    FD_ZERO(&set);
    FD_SET(socket, &set);
    timeval limit{ms / 1000, (ms % 1000) * 1000};
    return ::select(0, &set, nullptr, nullptr, &limit) == 1;
}

void sendAll(SOCKET socket, const std::string& bytes) {
    for (int n = 0, sent = 0; sent < static_cast<int>(bytes.size()) && n >= 0; sent += n) {
        n = ::send(socket, bytes.data() + sent, static_cast<int>(bytes.size()) - sent, 0);
    }
}

std::string linuxPath(const std::filesystem::path& path) {
    // Wine's own conversion, absent on Windows itself.
    using ToUnix = char*(CDECL*)(const wchar_t*);
    const auto toUnix = reinterpret_cast<ToUnix>(reinterpret_cast<void*>(
        GetProcAddress(GetModuleHandleW(L"kernel32"), "wine_get_unix_file_name")));
    char* converted = toUnix != nullptr ? toUnix(absolute(path).c_str()) : nullptr;
    if (converted == nullptr) return {};
    const std::string text(converted);
    HeapFree(GetProcessHeap(), 0, converted);
    return text;
}

std::string repositoryFile(const std::string& relative) {
    wchar_t module[MAX_PATH];
    GetModuleFileNameW(nullptr, module, MAX_PATH);
    for (auto folder = std::filesystem::path(module).parent_path(); folder.has_relative_path();
         folder = folder.parent_path()) {
        if (exists(folder / relative)) return linuxPath(folder / relative);
    }
    throw std::runtime_error("no " + relative + " above the test program");
}

WineHelper::WineHelper(const std::vector<std::string>& args) {
    std::uint16_t port = 0;
    const SOCKET listener = listenOnLoopback(port);
    // Wine runs a Linux program named by its Z: path, handing it the arguments as they are.
    std::wstring line = L"Z:\\usr\\bin\\python3 \"" +
                        utf8ToWide(repositoryFile("tests/platform_win32/wine_helper.py")) + L"\" " +
                        std::to_wstring(port);
    for (const std::string& arg : args) line += L" \"" + utf8ToWide(arg) + L"\"";
    STARTUPINFOW startup{};
    startup.cb = sizeof startup;
    PROCESS_INFORMATION process{};
    if (CreateProcessW(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, &startup,
                       &process)) {
        CloseHandle(process.hThread);  // Wine cannot wait on a Linux process anyway
        CloseHandle(process.hProcess);
        if (readable(listener, 15000)) control_ = accept(listener, nullptr, nullptr);
    }
    closesocket(listener);
    if (control_ == INVALID_SOCKET) throw std::runtime_error("no Linux helper (is python3 there?)");
}

WineHelper::~WineHelper() {
    shutdown(control_, SD_SEND);
    char scrap[64];
    while (readable(control_, 5000) && recv(control_, scrap, sizeof scrap, 0) > 0) {
    }
    closesocket(control_);
}

std::string WineHelper::readLine() {
    std::string line;
    char c = 0;
    while (readable(control_, 15000) && recv(control_, &c, 1, 0) == 1 && c != '\n') line += c;
    if (c != '\n') throw std::runtime_error("the Linux helper did not answer");
    return line;
}

std::string WineHelper::ask(const std::string& request) {
    sendAll(control_, request + "\n");
    return readLine();
}
