#include "app/lobby/lobbyconnection.h"

#include "app/net/serverdialer.h"
#include "app/net/tsock.h"

namespace quorbit::lobby {

using net::TSock;
using net::TSocketInfo;

LobbyConnection::LobbyConnection(QObject* parent) : QObject(parent), dialer_(new net::ServerDialer(this)) {
    dialer_->onReady = [this](std::unique_ptr<TSock> sock) { adopt(std::move(sock)); };
    dialer_->onFailed = [this](const std::string& why, bool refused) {
        // Told once the dialer's own call is over, as the socket's events are.
        const QString text = refused ? QString::fromStdString(why)
                                     : QString("Could not connect to %1 (%2).")
                                           .arg(host_, QString::fromStdString(net::ServerDialer::readable(why)));
        QMetaObject::invokeMethod(this, [this, text] { emit ended(text); }, Qt::QueuedConnection);
    };
}

LobbyConnection::~LobbyConnection() {
    // Nobody is told of the end of a connection being destroyed.
    dialer_->onFailed = nullptr;
    drop();
}

void LobbyConnection::setSettingsPath(const QString& path) { dialer_->setSettingsPath(path); }

void LobbyConnection::open(const QString& host, int port) {
    close();
    host_ = host;
    port_ = port;
    cutter_.reset();
    dialer_->dial(host.toStdString(), port);
}

void LobbyConnection::drop() {
    if (!socket_) return;
    socket_->OnRead = nullptr;
    socket_->OnDisconnect = nullptr;
    socket_->OnInfo = nullptr;
    // Inside one of the socket's own events it goes once that event is over.
    TSock* sock = socket_.release();
    if (sock->Handle() >= 0) sock->Close();
    sock->deleteLater();
}

void LobbyConnection::close() {
    dialer_->cancel();
    drop();
}

bool LobbyConnection::isOpen() const { return socket_ && socket_->Connected(); }

bool LobbyConnection::encrypted() const { return isOpen() && (assumeEncrypted_ || socket_->Encrypted()); }

bool LobbyConnection::send(const std::string& framed) {
    if (!isOpen()) return false;
    if (framed.empty()) return true;
    try {
        socket_->Send(framed);
    } catch (const net::ESockException&) {
        return false;
    }
    return true;
}

void LobbyConnection::adopt(std::unique_ptr<TSock> sock) {
    socket_ = std::move(sock);
    socket_->OnRead = [this](TSock&, int) { readAll(); };
    socket_->OnDisconnect = [this](TSock&) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                drop();
                emit ended("The server closed the connection.");
            },
            Qt::QueuedConnection);
        socket_->OnDisconnect = nullptr;
    };
    emit connected();
    if (socket_ && socket_->ReceiveBufferSize() > 0) readAll();
}

void LobbyConnection::readAll() {
    if (!socket_) return;
    const std::string bytes = socket_->Text();
    lines_.clear();
    // An overlong line is skipped whole by the cutter; the others still count.
    cutter_.feed(bytes, lines_);
    if (!lines_.empty()) emit linesReceived(lines_);
}

}  // namespace quorbit::lobby
