#include "app/client/gameconnection.h"

#include "client/client_engine.h"
#include "app/net/serverdialer.h"
#include "app/net/tsock.h"
#include "app/record/recordkeeper.h"

namespace quorbit::app {

using net::TSock;
using net::TSocketInfo;

GameConnection::GameConnection(client::ClientEngine& engine, QObject* parent)
    : QObject(parent), engine_(engine), dialer_(new net::ServerDialer(this)) {
    pump_.setSingleShot(true);
    pump_.setInterval(0);
    connect(&pump_, &QTimer::timeout, this, &GameConnection::pumpOne);
    dialer_->onReady = [this](std::unique_ptr<TSock> sock) { adopt(std::move(sock)); };
    dialer_->onFailed = [this](const std::string& why, bool refused) {
        if (refused)
            emit notice(QString::fromStdString(why));
        else
            report(static_cast<int>(TSocketInfo::siError), why);
        emit changed();
    };
}

GameConnection::~GameConnection() = default;

void GameConnection::setSettingsPath(const QString& path) { dialer_->setSettingsPath(path); }

bool GameConnection::encrypted() const { return sock_ && sock_->Encrypted(); }

const net::TSock* GameConnection::socket() const { return sock_ ? sock_.get() : dialer_->socket(); }

void GameConnection::open(const std::string& host, int port, bool tryTls) {
    host_ = host;
    if (tryTls) {
        sock_.reset();
        dialer_->dial(host, port);
        return;
    }
    dialer_->cancel();
    sock_ = std::make_unique<TSock>();
    sock_->setHostName(host);
    sock_->setPortName(std::to_string(port));
    sock_->OnConnect = [this](TSock&) {
        connected_ = true;
        engine_.connected(encrypted());
        emit changed();
    };
    sock_->OnRead = [this](TSock& s, int) { readFrom(s); };
    // Reports come from inside the socket's own calls, a send among them: they are
    // handled after the current event, so the window never works off the engine's
    // requests while it is still carrying out an earlier one.
    sock_->OnInfo = [this](TSock&, TSocketInfo info, const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, info, text] { report(static_cast<int>(info), text); }, Qt::QueuedConnection);
    };
    try {
        sock_->Open();
    } catch (const std::exception& e) {
        report(static_cast<int>(TSocketInfo::siError), e.what());
    }
}

void GameConnection::adopt(std::unique_ptr<TSock> sock) {
    sock_ = std::move(sock);
    sock_->OnRead = [this](TSock& s, int) { readFrom(s); };
    sock_->OnInfo = [this](TSock&, TSocketInfo info, const std::string& text) {
        QMetaObject::invokeMethod(
            this, [this, info, text] { report(static_cast<int>(info), text); }, Qt::QueuedConnection);
    };
    connected_ = true;
    engine_.connected(encrypted());
    emit changed();
    // What the server sent along with the end of the handshake.
    if (sock_ && sock_->ReceiveBufferSize() > 0) readFrom(*sock_);
}

void GameConnection::readFrom(TSock& s) {
    const std::string bytes = s.Text();
    engine_.received(bytes);
    if (records_) records_->received(bytes);
    schedulePump();
}

void GameConnection::openLobbyLink(int port) {
    lobby_ = std::make_unique<TSock>();
    lobby_->setHostName("127.0.0.1");
    lobby_->setPortName(std::to_string(port));
    try {
        lobby_->Open();
    } catch (const std::exception&) {
        // Nobody listening, or no socket to be had: the game does not care.
    }
}

void GameConnection::send(const std::string& message) {
    if (sock_ && connected_) sock_->Send(message);
}

void GameConnection::report(int info, const std::string& text) {
    // A connection that never came about is told to the player instead of leaving him
    // in front of an empty board.
    if (info == static_cast<int>(TSocketInfo::siError) && !connected_ && !host_.empty())
        emit notice(QString("Unable to reach the host %1: %2")
                        .arg(QString::fromStdString(host_), QString::fromStdString(text)));
    if (info == static_cast<int>(TSocketInfo::siClose)) engine_.socketClosed();
    if (records_ && engine_.closeRequested()) records_->closed();
    emit changed();
}

void GameConnection::schedulePump() {
    if (engine_.pendingLines() > 0 && !pump_.isActive()) pump_.start();
}

void GameConnection::pumpOne() {
    engine_.pump();  // one line per turn of the event loop
    emit changed();
    schedulePump();
}

}  // namespace quorbit::app
