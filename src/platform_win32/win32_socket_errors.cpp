#include "platform_win32/win32_socket_errors.h"

// Winsock's headers must come before <windows.h>.
// clang-format off
#include <winsock2.h>
#include <windows.h>
// clang-format on

#include <limits>
#include <utility>

#include "platform_win32/win32_text.h"

namespace win32_socket_errors {

namespace {

std::uint16_t asCode(long long number) {
    if (number <= 0) return kNone;
    if (number > std::numeric_limits<std::uint16_t>::max()) return kUnknown;
    return static_cast<std::uint16_t>(number);
}

std::string systemText(std::uint16_t code) {
    wchar_t* buffer = nullptr;
    const DWORD length = FormatMessageW(
        FORMAT_MESSAGE_ALLOCATE_BUFFER | FORMAT_MESSAGE_FROM_SYSTEM | FORMAT_MESSAGE_IGNORE_INSERTS,
        nullptr, code, 0, reinterpret_cast<wchar_t*>(&buffer), 0, nullptr);
    std::wstring words(buffer != nullptr ? buffer : L"", buffer != nullptr ? length : 0);
    if (buffer != nullptr) LocalFree(buffer);
    while (!words.empty() && (words.back() == L'\n' || words.back() == L'\r' ||
                              words.back() == L' ' || words.back() == L'.')) {
        words.pop_back();
    }
    return wideToUtf8(words);
}

}  // namespace

std::uint16_t lastError() {
    return asCode(WSAGetLastError());
}

std::uint16_t fromLookup(int result) {
    return asCode(result);
}

const char* knownText(std::uint16_t code) {
    static const std::pair<std::uint16_t, const char*> texts[] = {
        {kNone, "No error"},
        {WSAEACCES,
         "An attempt was made to access a socket in a way forbidden by its access "
         "permissions"},
        {kInvalidArgument, "An invalid argument was supplied"},
        {WSAEWOULDBLOCK, "A non-blocking socket operation could not be completed immediately"},
        {WSAEINPROGRESS, "A blocking operation is currently executing"},
        {WSAEAFNOSUPPORT, "An address incompatible with the requested protocol was used"},
        {WSAEADDRINUSE,
         "Only one usage of each socket address (protocol/network address/port) "
         "is normally permitted"},
        {WSAEADDRNOTAVAIL, "The requested address is not valid in its context"},
        {WSAENETDOWN, "A socket operation encountered a dead network"},
        {WSAENETUNREACH, "A socket operation was attempted to an unreachable network"},
        {kConnectionAborted,
         "An established connection was aborted by the software in your "
         "host machine"},
        {kConnectionReset, "An existing connection was forcibly closed by the remote host"},
        {kNoBufferSpace,
         "An operation on a socket could not be performed because the system "
         "lacked sufficient buffer space or because a queue was full"},
        {kAlreadyConnected, "A connect request was made on an already connected socket"},
        {kNotConnected,
         "A request to send or receive data was disallowed because the socket is "
         "not connected"},
        {kTimedOut,
         "A connection attempt failed because the connected party did not properly "
         "respond after a period of time"},
        {kRefused, "No connection could be made because the target machine actively refused it"},
        {WSAEHOSTUNREACH, "A socket operation was attempted to an unreachable host"},
        {WSANOTINITIALISED,
         "Either the application has not called WSAStartup, or WSAStartup "
         "failed"},
        {kHostNotFound, "No such host is known"},
        {kTryAgain, "This is usually a temporary error during hostname resolution"},
        {WSANO_RECOVERY, "A non-recoverable error occurred during a database lookup"},
        {kNoAddress, "The requested name is valid, but no data of the requested type was found"},
    };
    for (const auto& [known, words] : texts) {
        if (known == code) return words;
    }
    return nullptr;
}

std::string text(std::uint16_t code) {
    // Only Winsock's own range: the system's other texts would mislead.
    if (code >= 10000 && code < 12000) {
        std::string words = systemText(code);
        if (!words.empty()) return words;
    }
    if (const char* words = knownText(code)) return words;
    return "Unknown socket error " + std::to_string(code);
}

}  // namespace win32_socket_errors
