#include "app/lobby/gamelink.h"

#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTcpSocket>
#include <cstdio>

#include "client/launch.h"

namespace quorbit::lobby {

GameLink::GameLink(const QString& game, quint16 port, QObject* parent)
    : QObject(parent), game_(game), server_(new QTcpServer(this)) {
    // Anything a game might send on the link is read and dropped.
    connect(server_, &QTcpServer::newConnection, this, [this] {
        while (QTcpSocket* s = server_->nextPendingConnection()) {
            ++links_;
            report(QString("link: connected %1").arg(links_));
            emit linksChanged(links_);
            if (links_ == 1) emit gameOpened();
            connect(s, &QTcpSocket::readyRead, s, [s] { s->readAll(); });
            connect(s, &QTcpSocket::disconnected, this, [this, s] {
                --links_;
                report(QString("link: closed %1").arg(links_));
                emit linksChanged(links_);
                if (links_ == 0) emit gameClosed();
                s->deleteLater();
            });
        }
    });
    if (server_->listen(QHostAddress::LocalHost, port))
        report(QString("link: listening on 127.0.0.1 port %1").arg(server_->serverPort()));
    else
        report(QString("link: port %1 is in use").arg(port));
}

bool GameLink::listening() const { return server_->isListening(); }
quint16 GameLink::port() const { return server_->serverPort(); }

bool GameLink::start(const QStringList& params, QString& why, const QString& password) {
    if (!QFileInfo(game_).isExecutable()) {
        why = "The game is not at " + game_ + ".";
        return false;
    }
    qint64 pid = 0;
    QProcess process;
    process.setProgram(game_);
    process.setArguments(params);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QString::fromUtf8(client::kSessionVariable));
    if (!session_.isEmpty()) env.insert(QString::fromUtf8(client::kSessionVariable), session_);
    env.remove(QString::fromUtf8(client::kPasswordVariable));
    if (!password.isEmpty()) env.insert(QString::fromUtf8(client::kPasswordVariable), password);
    process.setProcessEnvironment(env);
    if (!process.startDetached(&pid)) {
        why = "The game would not start.";
        return false;
    }
    report("started: " + params.join(" | "));
    report(QString("game process: %1").arg(pid));
    return true;
}

void GameLink::report(const QString& line) {
    std::printf("%s\n", line.toUtf8().constData());
    std::fflush(stdout);
}

}  // namespace quorbit::lobby
