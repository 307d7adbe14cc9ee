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
class TSock;
}

namespace quorbit::app {

class RecordKeeper;

class GameConnection : public QObject {
    Q_OBJECT
public:
    GameConnection(client::ClientEngine& engine, QObject* parent = nullptr);
    ~GameConnection() override;

    // Connects to the game's server at host:port.
    void open(const std::string& host, int port);
    // Opens the silent link to a lobby on 127.0.0.1 (never read or written).
    void openLobbyLink(int port);
    // Sends one whole message while connected; nothing otherwise.
    void send(const std::string& message);
    // Every received byte also goes to the game's record.
    void keepRecords(RecordKeeper* records) { records_ = records; }

    const net::TSock* socket() const { return sock_.get(); }
    bool lobbyLinkOpened() const { return lobby_ != nullptr; }
    // Whether the game's connection is encrypted: a session token or a password goes only
    // over one that is. The socket speaks plain text only for now, so it says no.
    bool encrypted() const { return false; }

signals:
    void changed();                      // the engine has requests to carry out
    void notice(const QString& text);    // a line for the chat box in the system colour

private:
    void report(int info, const std::string& text);
    void schedulePump();
    void pumpOne();

    client::ClientEngine& engine_;
    RecordKeeper* records_ = nullptr;
    std::unique_ptr<net::TSock> sock_;
    std::unique_ptr<net::TSock> lobby_;
    bool connected_ = false;
    QTimer pump_;  // runs only while received lines wait
};

}  // namespace quorbit::app
