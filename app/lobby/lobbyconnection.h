#pragma once
// The lobby's connection to a table server: a socket opened by ServerDialer (in TLS when
// the server speaks it), whose bytes are cut into lines at the game's terminator byte,
// handed out a read at a time, and lines sent framed.
#include <QObject>
#include <QString>
#include <memory>
#include <string>
#include <vector>

#include "protocol/framing.h"

namespace quorbit::net {
class ServerDialer;
class TSock;
}

namespace quorbit::lobby {

class LobbyConnection : public QObject {
    Q_OBJECT
public:
    explicit LobbyConnection(QObject* parent = nullptr);
    ~LobbyConnection() override;

    // The settings file that keeps the servers' certificate fingerprints.
    void setSettingsPath(const QString& path);
    // Drops any connection there is and connects anew.
    void open(const QString& host, int port);
    void close();
    bool isOpen() const;
    // The connection speaks TLS (only there may a password be sent). Tests whose stand-in
    // server speaks plain text on loopback may have it taken as encrypted.
    bool encrypted() const;
    void assumeEncryptedForTests(bool yes) { assumeEncrypted_ = yes; }
    // Sends a framed line (nothing for an empty one); false while not connected.
    bool send(const std::string& framed);
    const QString& host() const { return host_; }
    int port() const { return port_; }

signals:
    void connected();
    // The complete lines of one read, in order.
    void linesReceived(const std::vector<std::string>& lines);
    // The connection ended or could not be made: why, for the player.
    void ended(const QString& why);

private:
    void adopt(std::unique_ptr<net::TSock> sock);
    void readAll();
    void drop();

    net::ServerDialer* dialer_;
    std::unique_ptr<net::TSock> socket_;
    protocol::LineCutter cutter_;
    std::vector<std::string> lines_;
    QString host_;
    int port_ = 0;
    bool assumeEncrypted_ = false;
};

}  // namespace quorbit::lobby
