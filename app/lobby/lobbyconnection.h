#pragma once
// The lobby's connection to a table server: a TCP socket whose bytes are cut into lines
// at the game's terminator byte, handed out a read at a time, and lines sent framed.
#include <QObject>
#include <QString>
#include <string>
#include <vector>

#include "protocol/framing.h"

class QTcpSocket;

namespace quorbit::lobby {

class LobbyConnection : public QObject {
    Q_OBJECT
public:
    explicit LobbyConnection(QObject* parent = nullptr);
    ~LobbyConnection() override;

    // Drops any connection there is and connects anew.
    void open(const QString& host, int port);
    void close();
    bool isOpen() const;
    // Sends a framed line (nothing for an empty one); false while not connected.
    bool send(const std::string& framed);
    const QString& host() const { return host_; }
    // Whether the connection is encrypted: passwords go only over one that is. Plain
    // sockets are all this connection opens for now, so it says no; tests that serve
    // plain text on loopback may say yes (assumeEncryptedForTests).
    bool encrypted() const { return assumeEncrypted_ && isOpen(); }
    void assumeEncryptedForTests(bool yes) { assumeEncrypted_ = yes; }
    int port() const { return port_; }

signals:
    void connected();
    // The complete lines of one read, in order.
    void linesReceived(const std::vector<std::string>& lines);
    // The connection ended or could not be made: why, for the player.
    void ended(const QString& why);

private:
    void readAll();

    QTcpSocket* socket_;
    protocol::LineCutter cutter_;
    std::vector<std::string> lines_;
    QString host_;
    int port_ = 0;
    bool assumeEncrypted_ = false;
};

}  // namespace quorbit::lobby
