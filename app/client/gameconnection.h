#pragma once
// The client's connection to the game's server and its pump: the socket, the silent
// lobby link, received bytes handed to the engine (and to the game's record), one
// received line worked off per turn of the event loop, and the socket's reports. After
// every change it asks the window to carry out the engine's requests (`changed`).
#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <string>

namespace quorbit::client {
class ClientEngine;
}
namespace quorbit::net {
class ServerDialer;
class TSock;
}

namespace quorbit::app {

class RecordKeeper;

class GameConnection : public QObject {
    Q_OBJECT
public:
    GameConnection(client::ClientEngine& engine, QObject* parent = nullptr);
    ~GameConnection() override;

    // Connects to the game's server at host:port: in TLS when the server speaks it
    // (else in plain text, as ServerDialer decides), or in plain text only when `tryTls`
    // is false (the window's own host mode).
    void open(const std::string& host, int port, bool tryTls = true);
    // The settings file that keeps the servers' certificate fingerprints.
    void setSettingsPath(const QString& path);
    // The connection to the server speaks TLS: only there does a session token or a
    // password go.
    bool encrypted() const;
    // Opens the silent link to a lobby on 127.0.0.1 (never read or written).
    void openLobbyLink(int port);
    // Sends one whole message while connected; nothing otherwise.
    void send(const std::string& message);
    // Every received byte also goes to the game's record.
    void keepRecords(RecordKeeper* records) { records_ = records; }

    const net::TSock* socket() const;
    bool lobbyLinkOpened() const { return lobby_ != nullptr; }

signals:
    void changed();                      // the engine has requests to carry out
    void notice(const QString& text);    // a line for the chat box in the system colour

private:
    void adopt(std::unique_ptr<net::TSock> sock);
    void readFrom(net::TSock& sock);
    void report(int info, const std::string& text);
    void schedulePump();
    void pumpOne();

    client::ClientEngine& engine_;
    RecordKeeper* records_ = nullptr;
    std::unique_ptr<net::TSock> sock_;
    net::ServerDialer* dialer_;
    std::unique_ptr<net::TSock> lobby_;
    bool connected_ = false;
    std::string host_;  // the host asked for
    QTimer pump_;  // runs only while received lines wait
};

}  // namespace quorbit::app
