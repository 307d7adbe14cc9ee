#include "app/shell/instance.h"

#include <QCryptographicHash>
#include <QGuiApplication>
#include <QLocalServer>
#include <QLocalSocket>
#include <unistd.h>

namespace quorbit::shell {

QString instanceKey(const QString& guard) {
    QString display = qEnvironmentVariable("WAYLAND_DISPLAY");
    if (display.isEmpty()) display = qEnvironmentVariable("DISPLAY");
    QString key = guard + QString("-%1-").arg(static_cast<qulonglong>(getuid())) + display;
    const QString data = qEnvironmentVariable("QUORBIT_DATA_DIR");
    if (!data.isEmpty()) key += "-" + data;
    // Local socket names become file names: keep them short and plain.
    const QByteArray hash = QCryptographicHash::hash(key.toUtf8(), QCryptographicHash::Sha1).toHex().left(16);
    return guard + "-" + QString::fromLatin1(hash);
}

InstanceGuard::InstanceGuard(QString key, QObject* parent) : QObject(parent), key_(std::move(key)) {}

InstanceGuard::~InstanceGuard() = default;

void InstanceGuard::release() { server_.reset(); }

bool InstanceGuard::anotherInstanceRuns(int waitMs) {
    {
        QLocalSocket probe;
        probe.connectToServer(key_);
        if (probe.waitForConnected(waitMs)) {
            probe.write("activate\n");
            probe.flush();
            probe.waitForBytesWritten(waitMs);
            probe.disconnectFromServer();
            return true;
        }
    }
    server_ = std::make_unique<QLocalServer>();
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    if (!server_->listen(key_)) {
        // A socket file left behind by an instance that died: nobody answered on it.
        QLocalServer::removeServer(key_);
        if (!server_->listen(key_)) {
            server_.reset();
            return false;
        }
    }
    connect(server_.get(), &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = server_->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            auto readRequest = [this, s] {
                if (s->readAll().contains("activate")) emit activateRequested();
            };
            connect(s, &QLocalSocket::readyRead, this, readRequest);
            if (s->bytesAvailable() > 0) readRequest();
        }
    });
    return false;
}

RunningMarker::RunningMarker(const QString& name) : server_(std::make_unique<QLocalServer>()) {
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    const QString key = instanceKey(name);
    if (!server_->listen(key)) {
        QLocalSocket probe;
        probe.connectToServer(key);
        // Held by another program already, or left over by one that died.
        if (!probe.waitForConnected(100)) {
            QLocalServer::removeServer(key);
            server_->listen(key);
        }
    }
}

RunningMarker::~RunningMarker() = default;

bool RunningMarker::held() const { return server_ && server_->isListening(); }

}  // namespace quorbit::shell
