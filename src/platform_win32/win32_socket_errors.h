#pragma once

#include <cstdint>
#include <string>

// The HTTP socket's error codes on Windows: Winsock's own numbers, which the
// Linux build borrows too, so that a message reads the same on every platform.
namespace win32_socket_errors {

constexpr std::uint16_t kNone = 0;
constexpr std::uint16_t kInvalidArgument = 10022;   // WSAEINVAL
constexpr std::uint16_t kNoBufferSpace = 10055;     // WSAENOBUFS
constexpr std::uint16_t kAlreadyConnected = 10056;  // WSAEISCONN
constexpr std::uint16_t kNotConnected = 10057;      // WSAENOTCONN
constexpr std::uint16_t kConnectionAborted = 10053;
constexpr std::uint16_t kConnectionReset = 10054;
constexpr std::uint16_t kTimedOut = 10060;
constexpr std::uint16_t kRefused = 10061;
constexpr std::uint16_t kHostNotFound = 11001;  // WSAHOST_NOT_FOUND
constexpr std::uint16_t kTryAgain = 11002;      // WSATRY_AGAIN
constexpr std::uint16_t kNoAddress = 11004;     // WSANO_DATA
constexpr std::uint16_t kUnknown = 10000;

// WSAGetLastError() as a code; a number beyond the codes' range (never one of
// Winsock's) reads as kUnknown rather than as some other code.
std::uint16_t lastError();
// A code for what getaddrinfo returned: Winsock's getaddrinfo answers in
// Winsock numbers already.
std::uint16_t fromLookup(int result);
// The system's own text for a Winsock code, in the system's language, without
// the line break and full stop; Winsock's English text where the system has
// none. Numbers outside Winsock's range get no system text: the system's texts
// for them belong to other errors.
std::string text(std::uint16_t code);
// Winsock's English text of the codes the socket reports, or nullptr.
const char* knownText(std::uint16_t code);

}  // namespace win32_socket_errors
