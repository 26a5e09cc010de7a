#include "platform/qt_http_socket_errors.h"

#include <utility>

namespace socket_errors {

std::uint16_t fromQt(QAbstractSocket::SocketError error) {
    switch (error) {
        case QAbstractSocket::RemoteHostClosedError:
            return kNone;
        case QAbstractSocket::ConnectionRefusedError:
            return kRefused;
        case QAbstractSocket::HostNotFoundError:
            return kHostNotFound;
        case QAbstractSocket::SocketAccessError:
            return 10013;
        case QAbstractSocket::SocketResourceError:
            return 10055;
        case QAbstractSocket::SocketTimeoutError:
            return kTimedOut;
        case QAbstractSocket::NetworkError:
            return 10051;
        case QAbstractSocket::AddressInUseError:
            return 10048;
        case QAbstractSocket::SocketAddressNotAvailableError:
            return 10049;
        case QAbstractSocket::UnsupportedSocketOperationError:
            return 10045;
        case QAbstractSocket::UnfinishedSocketOperationError:
            return 10036;
        case QAbstractSocket::TemporaryError:
            return 10035;
        case QAbstractSocket::OperationError:
            return kInvalidArgument;
        default:
            return kUnknown;
    }
}

std::uint16_t fromQt(QHostInfo::HostInfoError error) {
    switch (error) {
        case QHostInfo::NoError:
            return kNone;
        case QHostInfo::HostNotFound:
            return kHostNotFound;
        default:
            return kTryAgain;
    }
}

std::string text(std::uint16_t code) {
    static const std::pair<std::uint16_t, const char*> texts[] = {
        {kNone, "No error"},
        {10013, "Permission denied"},
        {kInvalidArgument, "Invalid argument"},
        {10035, "Resource temporarily unavailable"},
        {10036, "Operation now in progress"},
        {10045, "Operation not supported"},
        {10048, "Address already in use"},
        {10049, "Cannot assign requested address"},
        {10051, "Network is unreachable"},
        {kConnectionAborted, "Software caused connection abort"},
        {kConnectionReset, "Connection reset by peer"},
        {10055, "No buffer space available"},
        {kAlreadyConnected, "Socket is already connected"},
        {kNotConnected, "Socket is not connected"},
        {kTimedOut, "Connection timed out"},
        {kRefused, "Connection refused"},
        {kHostNotFound, "Host not found"},
        {kTryAgain, "Non-authoritative host not found"},
        {kNoAddress, "Valid name, no data record of requested type"},
    };
    for (const auto& [known, words] : texts) {
        if (known == code) return words;
    }
    return "Unknown socket error";
}

}  // namespace socket_errors
