#include "app/net/tablelister.h"

#include <string>
#include <string_view>

#include "protocol/messages.h"
#include "app/net/serverdialer.h"
#include "app/net/tsock.h"

namespace quorbit::net {

TableLister::TableLister(QObject* parent) : QObject(parent), dialer_(new ServerDialer(this)) {
    deadline_.setSingleShot(true);
    connect(&deadline_, &QTimer::timeout, this, [this] {
        const bool reached = connected_;
        finish();
        if (reached)
            emit noAnswer();
        else
            emit unreachable("no answer");
    });
    dialer_->onReady = [this](std::unique_ptr<TSock> sock) { adopt(std::move(sock)); };
    dialer_->onFailed = [this](const std::string& why, bool) {
        finish();
        emit unreachable(QString::fromStdString(ServerDialer::readable(why)));
    };
}

TableLister::~TableLister() {
    dialer_->onFailed = nullptr;
    finish();
}

void TableLister::setSettingsPath(const QString& path) { dialer_->setSettingsPath(path); }

void TableLister::list(const QString& host, int port, std::size_t keep, bool all) {
    finish();
    keep_ = keep;
    all_ = all;
    listing_ = true;
    deadline_.start(kAnswerMs + ServerDialer::kTlsAnswerMs);
    dialer_->dial(host.toStdString(), port);
}

void TableLister::adopt(std::unique_ptr<TSock> sock) {
    socket_ = std::move(sock);
    connected_ = true;
    socket_->OnRead = [this](TSock&, int) { readSome(); };
    // A connection lost before the end of the list.
    socket_->OnDisconnect = [this](TSock&) {
        QMetaObject::invokeMethod(
            this,
            [this] {
                if (!socket_) return;
                finish();
                emit noAnswer();
            },
            Qt::QueuedConnection);
        socket_->OnDisconnect = nullptr;
    };
    try {
        socket_->Send(protocol::frame(all_ ? protocol::directory::listAllRequest()
                                           : protocol::tables::Listtables{}.format()));
    } catch (const ESockException&) {
        // The close that follows says it.
    }
    if (socket_ && socket_->ReceiveBufferSize() > 0) readSome();
}

void TableLister::cancel() { finish(); }

void TableLister::finish() {
    deadline_.stop();
    dialer_->cancel();
    if (socket_) {
        socket_->OnRead = nullptr;
        socket_->OnDisconnect = nullptr;
        socket_->OnInfo = nullptr;
        TSock* sock = socket_.release();
        if (sock->Handle() >= 0) sock->Close();
        sock->deleteLater();  // it may be the sender of the event being handled
    }
    cutter_.reset();
    tables_.clear();
    remote_.clear();
    more_ = 0;
    connected_ = false;
    listing_ = false;
}

void TableLister::readSome() {
    if (!socket_) return;
    const std::string bytes = socket_->Text();
    std::vector<std::string> lines;
    cutter_.feed(bytes, lines);
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
