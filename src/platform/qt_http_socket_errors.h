#pragma once

#include <QAbstractSocket>
#include <QHostInfo>
#include <cstdint>
#include <string>

// The HTTP socket's error codes. They follow the numbering of the Windows
// sockets API, which operators and the server logs of the field know, so that
// a message reads the same on every platform.
namespace socket_errors {

constexpr std::uint16_t kNone = 0;
constexpr std::uint16_t kInvalidArgument = 10022;
constexpr std::uint16_t kAlreadyConnected = 10056;
constexpr std::uint16_t kNotConnected = 10057;
constexpr std::uint16_t kConnectionAborted = 10053;
constexpr std::uint16_t kConnectionReset = 10054;
constexpr std::uint16_t kTimedOut = 10060;
constexpr std::uint16_t kRefused = 10061;
constexpr std::uint16_t kHostNotFound = 11001;
constexpr std::uint16_t kTryAgain = 11002;
constexpr std::uint16_t kNoAddress = 11004;
constexpr std::uint16_t kUnknown = 10000;

// The code for what Qt reports; a peer's orderly close is no error.
std::uint16_t fromQt(QAbstractSocket::SocketError error);
std::uint16_t fromQt(QHostInfo::HostInfoError error);
std::string text(std::uint16_t code);

}  // namespace socket_errors
