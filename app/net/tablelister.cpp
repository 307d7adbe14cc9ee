#include "app/net/tablelister.h"

#include <QTcpSocket>
#include <string>
#include <string_view>

#include "protocol/messages.h"

namespace quorbit::net {

TableLister::TableLister(QObject* parent) : QObject(parent) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        const bool reached = connected_;
        const QString why = socket_ ? socket_->errorString() : QString();
        finish();
        if (reached)
            emit noAnswer();
        else
            emit unreachable(why.isEmpty() ? QString("no answer") : why);
    });
}

TableLister::~TableLister() { finish(); }

void TableLister::list(const QString& host, int port, std::size_t keep, bool all) {
    finish();
    keep_ = keep;
    all_ = all;
    socket_ = new QTcpSocket(this);
    connect(socket_, &QTcpSocket::connected, this, [this] {
        connected_ = true;
        const std::string ask = protocol::frame(all_ ? std::string(protocol::tables::Listtables::kName) + "+" +
                                                           std::string(protocol::directory::kListAll)
                                                     : protocol::tables::Listtables{}.format());
        socket_->write(ask.data(), static_cast<qint64>(ask.size()));
    });
    connect(socket_, &QTcpSocket::readyRead, this, &TableLister::readSome);
    connect(socket_, &QTcpSocket::errorOccurred, this, [this](QAbstractSocket::SocketError) {
        // A connection refused or lost before the end of the list.
        const bool reached = connected_;
        const QString why = socket_->errorString();
        finish();
        if (reached)
            emit noAnswer();
        else
            emit unreachable(why);
    });
    deadline_.start(kAnswerMs);
    socket_->connectToHost(host, static_cast<quint16>(port));
}

void TableLister::cancel() { finish(); }

void TableLister::finish() {
    deadline_.stop();
    if (socket_) {
        socket_->disconnect(this);
        socket_->abort();
        socket_->deleteLater();
        socket_ = nullptr;
    }
    cutter_.reset();
    tables_.clear();
    remote_.clear();
    more_ = 0;
    connected_ = false;
}

void TableLister::readSome() {
    const QByteArray bytes = socket_->readAll();
    std::vector<std::string> lines;
    cutter_.feed(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())), lines);
    for (const std::string& line : lines) {
        if (auto info = protocol::read<protocol::tables::Tableinfo>(line)) {
            if (tables_.size() + remote_.size() < keep_)
                tables_.push_back(std::move(*info));
            else
                ++more_;
        } else if (auto remote = protocol::read<protocol::directory::Remotetableinfo>(line)) {
            if (tables_.size() + remote_.size() < keep_)
                remote_.push_back(std::move(*remote));
            else
                ++more_;
        } else if (protocol::read<protocol::tables::Tablesend>(line)) {
            Tables tables = std::move(tables_);
            RemoteTables remote = std::move(remote_);
            const std::size_t more = more_;
            const bool all = all_;
            finish();
            if (all) emit remoteListed(remote);
            emit listed(tables, more);
            return;
        } else if (protocol::read<protocol::toclient::Sendlogininfo>(line)) {
            // A server that predates tables seats every connection at once.
            finish();
            emit oneTable();
            return;
        }
    }
}

}  // namespace quorbit::net
