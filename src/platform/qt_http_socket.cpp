#include "platform/qt_http_socket.h"

#include <QHostAddress>
#include <QHostInfo>
#include <QObject>
#include <QTcpSocket>
#include <QTimer>
#include <utility>

#include "platform/qt_http_socket_errors.h"

namespace {

// Offers of buffered bytes in one turn of the loop before the socket lets other
// messages run; the client takes about 8 KiB per offer, so a full read buffer
// drains in one turn without keeping timers and the window waiting.
constexpr int kOffersPerTurn = 8;
// How long an orderly close may wait for the peer to take the last bytes sent.
constexpr int kLingerMs = 5000;

bool isAnyAddress(const std::string& address) {
    return address.empty() || address == "0.0.0.0";
}

// The first IPv4 address when there is one: the servers of the field are
// reached over IPv4, and a host name often resolves to an IPv6 address first.
QHostAddress preferredAddress(const QList<QHostAddress>& addresses) {
    for (const QHostAddress& address : addresses) {
        if (address.protocol() == QAbstractSocket::IPv4Protocol) return address;
    }
    return addresses.front();
}

}  // namespace

QtHttpSocket::QtHttpSocket(MessagePump& pump)
    : pump_(pump), context_(std::make_unique<QObject>()) {}

QtHttpSocket::~QtHttpSocket() {
    cancelResolve();
    release(Shutdown::Destroying);
}

void QtHttpSocket::post(std::function<void()> call) {
    // Calls posted to the context die with it, so none outlives this socket.
    QMetaObject::invokeMethod(
        context_.get(), [this, call = std::move(call)] { pump_.guarded(call); },
        Qt::QueuedConnection);
}

void QtHttpSocket::fail(std::uint16_t code) {
    lastError_ = code;
    throw SocketError(socket_errors::text(code), code);
}

// ---- name resolution

void QtHttpSocket::resolve(const std::string& host) {
    cancelResolve();
    if (host.empty()) fail(socket_errors::kHostNotFound);
    const std::uint64_t lookup = lookup_;
    const QString name = QString::fromStdString(host);
    if (QHostAddress literal; literal.setAddress(name)) {
        const std::string address = literal.toString().toStdString();
        post([this, lookup, address] { finishLookup(lookup, socket_errors::kNone, address); });
        return;
    }
    lookupId_ = QHostInfo::lookupHost(name, context_.get(), [this, lookup](const QHostInfo& info) {
        std::uint16_t code = socket_errors::fromQt(info.error());
        std::string address;
        if (code == socket_errors::kNone && info.addresses().isEmpty()) {
            code = socket_errors::kNoAddress;
        } else if (code == socket_errors::kNone) {
            address = preferredAddress(info.addresses()).toString().toStdString();
        }
        // Posted once more: the result must come from the loop on every Qt version.
        post([this, lookup, code, address] { finishLookup(lookup, code, address); });
    });
}

void QtHttpSocket::finishLookup(std::uint64_t lookup, std::uint16_t code,
                                const std::string& address) {
    if (lookup != lookup_) return;  // cancelled, or another resolution began
    ++lookup_;
    lookupId_ = -1;
    if (code != socket_errors::kNone) lastError_ = code;
    notifyDnsLookupDone(code, address);
}

void QtHttpSocket::cancelResolve() {
    if (lookupId_ != -1) QHostInfo::abortHostLookup(lookupId_);
    lookupId_ = -1;
    ++lookup_;
}

// ---- connecting

void QtHttpSocket::connectTo(const std::string& address, const std::string& port,
                             const std::string& localAddress) {
    if (phase_ != Phase::Idle) fail(socket_errors::kAlreadyConnected);
    const QHostAddress target(QString::fromStdString(address));
    bool numeric = false;
    const uint portNumber = QString::fromStdString(port).toUInt(&numeric);
    if (target.isNull() || !numeric || portNumber == 0 || portNumber > 65535) {
        fail(socket_errors::kInvalidArgument);
    }
    socket_ = openSocket(localAddress);
    beginConnecting();
    // A refusal on this machine may be reported from inside this call; the
    // signal handlers only post, so the client still hears it from the loop.
    socket_->connectToHost(target, static_cast<quint16>(portNumber));
}

QTcpSocket* QtHttpSocket::openSocket(const std::string& localAddress) {
    auto socket = std::make_unique<QTcpSocket>();
    socket->setReadBufferSize(kReadBufferBytes);
    if (!isAnyAddress(localAddress)) {
        const QHostAddress local(QString::fromStdString(localAddress));
        if (local.isNull()) fail(socket_errors::kInvalidArgument);
        if (!socket->bind(local, 0)) fail(socket_errors::fromQt(socket->error()));
    }
    watch(socket.get());
    return socket.release();
}

void QtHttpSocket::watch(QTcpSocket* socket) {
    QObject* context = context_.get();
    QObject::connect(socket, &QTcpSocket::connected, context, [this] { connectionMade(); });
    QObject::connect(socket, &QTcpSocket::readyRead, context, [this] { postData(); });
    QObject::connect(socket, &QTcpSocket::errorOccurred, context,
                     [this](QAbstractSocket::SocketError error) { onError(error); });
    QObject::connect(socket, &QTcpSocket::disconnected, context, [this] { onPeerClosed(); });
}

void QtHttpSocket::onError(int qtError) {
    const auto error = static_cast<QAbstractSocket::SocketError>(qtError);
    if (phase_ == Phase::Connecting) {
        const std::uint16_t code = socket_errors::fromQt(error);
        failConnect(code == socket_errors::kNone ? socket_errors::kConnectionReset : code);
        return;
    }
    if (phase_ != Phase::Connected) return;
    const std::uint16_t code = socket_errors::fromQt(error);
    if (code != socket_errors::kNone) peerError_ = lastError_ = code;
    if (socket_->state() == QAbstractSocket::UnconnectedState) onPeerClosed();
}

// ---- data

void QtHttpSocket::send(std::string_view bytes) {
    if (!connected()) fail(socket_errors::kNotConnected);
    const auto size = static_cast<qint64>(bytes.size());
    if (socket_->write(bytes.data(), size) != size) fail(socket_errors::fromQt(socket_->error()));
}

std::size_t QtHttpSocket::receive(std::uint8_t* into, std::size_t max) {
    if (socket_ == nullptr || max == 0) return 0;
    const qint64 got = socket_->read(reinterpret_cast<char*>(into), static_cast<qint64>(max));
    if (got <= 0) return 0;
    countTaken(static_cast<std::size_t>(got));
    return static_cast<std::size_t>(got);
}

std::size_t QtHttpSocket::unread() const {
    return socket_ == nullptr ? 0 : static_cast<std::size_t>(socket_->bytesAvailable());
}

// ---- closing

void QtHttpSocket::release(Shutdown how) {
    QTcpSocket* socket = std::exchange(socket_, nullptr);
    if (socket == nullptr) return;
    QObject::disconnect(socket, nullptr, context_.get(), nullptr);
    dataPosted_ = false;
    if (how == Shutdown::Destroying) {
        socket->abort();
        delete socket;
        return;
    }
    if (how == Shutdown::Orderly) {
        // Bytes still being sent go out first; a peer that never takes them
        // does not keep the socket forever.
        socket->disconnectFromHost();
        if (socket->state() != QAbstractSocket::UnconnectedState) {
            QObject::connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            QTimer::singleShot(kLingerMs, socket, [socket] {
                socket->abort();
                socket->deleteLater();
            });
            return;
        }
    } else {
        socket->abort();
    }
    // The socket may be the sender of the signal being handled.
    socket->deleteLater();
}

std::string QtHttpSocket::errorText(std::uint16_t code) const {
    return socket_errors::text(code);
}
