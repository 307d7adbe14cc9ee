#include "app/lobby/lobbyconnection.h"

#include <QTcpSocket>

namespace quorbit::lobby {

LobbyConnection::LobbyConnection(QObject* parent) : QObject(parent), socket_(new QTcpSocket(this)) {
    connect(socket_, &QTcpSocket::connected, this, &LobbyConnection::connected);
    connect(socket_, &QTcpSocket::readyRead, this, &LobbyConnection::readAll);
    connect(socket_, &QTcpSocket::disconnected, this, [this] { emit ended("The server closed the connection."); });
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError error) {
        // A close by the server is reported as disconnected above.
        if (error == QAbstractSocket::RemoteHostClosedError) return;
        if (socket_->state() == QAbstractSocket::ConnectedState) return;
        emit ended(QString("Could not connect to %1 (%2).").arg(host_, socket_->errorString()));
    });
}

LobbyConnection::~LobbyConnection() {
    socket_->disconnect(this);  // nobody is told of the end of a connection being destroyed
}

void LobbyConnection::open(const QString& host, int port) {
    close();
    host_ = host;
    port_ = port;
    cutter_.reset();
    socket_->connectToHost(host, static_cast<quint16>(port));
}

void LobbyConnection::close() {
    const QSignalBlocker quiet(socket_);
    socket_->abort();
}

bool LobbyConnection::isOpen() const { return socket_->state() == QAbstractSocket::ConnectedState; }

bool LobbyConnection::send(const std::string& framed) {
    if (!isOpen()) return false;
    if (framed.empty()) return true;
    socket_->write(framed.data(), static_cast<qint64>(framed.size()));
    return true;
}

void LobbyConnection::readAll() {
    const QByteArray bytes = socket_->readAll();
    lines_.clear();
    // An overlong line is skipped whole by the cutter; the others still count.
    cutter_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), lines_);
    if (!lines_.empty()) emit linesReceived(lines_);
}

}  // namespace quorbit::lobby
