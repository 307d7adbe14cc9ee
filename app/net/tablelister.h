#pragma once
// TableLister: asks a game server for its tables. It connects, sends the request for the
// list as its first line and gathers the answer: one entry per table, then the end of the
// list. A server that predates tables seats the connection at once instead (it sends the
// login request): that server holds one table only. The connection closes as soon as the
// answer is known, so it never sits down at a table. The connection is opened by
// ServerDialer: in TLS when the server speaks it.
//
// Asked for every server's tables, a server that shares a directory with others lists
// theirs too, each with its server's address (remoteListed, just before listed); an older
// server lists its own only.
#include <QObject>
#include <QString>
#include <QTimer>
#include <cstddef>
#include <memory>
#include <vector>

#include "protocol/directory_messages.h"
#include "protocol/framing.h"
#include "protocol/table_messages.h"

namespace quorbit::net {

class ServerDialer;
class TSock;

class TableLister : public QObject {
    Q_OBJECT
public:
    using Tables = std::vector<protocol::tables::Tableinfo>;
    using RemoteTables = std::vector<protocol::directory::Remotetableinfo>;
    // How long a server has to answer, from the start of the request (a server that
    // speaks no TLS has the dialer's wait for a handshake on top).
    static constexpr int kAnswerMs = 5000;

    explicit TableLister(QObject* parent = nullptr);
    ~TableLister() override;

    // Asks host:port for its tables, keeping at most `keep` of them (the rest are counted
    // in `more`). A listing still running is dropped first, without a signal.
    // With `all`, the other servers' tables are asked for too (and count toward `keep`).
    void list(const QString& host, int port, std::size_t keep, bool all = false);
    void cancel();
    bool busy() const { return listing_; }
    // The settings file that keeps the servers' certificate fingerprints.
    void setSettingsPath(const QString& path);

signals:
    void remoteListed(const quorbit::net::TableLister::RemoteTables& tables);
    void listed(const quorbit::net::TableLister::Tables& tables, std::size_t more);
    void oneTable();                        // the server seats every connection at its one table
    void unreachable(const QString& why);   // no connection came about, or the server was not trusted
    void noAnswer();                        // connected, but no whole list in time

private:
    void adopt(std::unique_ptr<TSock> sock);
    void readSome();
    void finish();

    ServerDialer* dialer_;
    std::unique_ptr<TSock> socket_;
    bool listing_ = false;
    QTimer deadline_;
    protocol::LineCutter cutter_;
    Tables tables_;
    RemoteTables remote_;
    bool all_ = false;
    std::size_t keep_ = 0;
    std::size_t more_ = 0;
    bool connected_ = false;
};

}  // namespace quorbit::net
