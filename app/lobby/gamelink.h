#pragma once
// The lobby's side of the game: starting the game program with its parameters, and the
// silent link on 127.0.0.1 that a started game opens and holds while it runs. The game
// never sends anything on the link: its opening and closing are all it says.
//
// Every event is also written as one line to standard output ("started: ...", "game
// process: PID", "link: ..."), so that scripts can follow the lobby.
#include <QObject>
#include <QStringList>

class QTcpServer;

namespace quorbit::lobby {

class GameLink : public QObject {
    Q_OBJECT
public:
    // Listens on 127.0.0.1 `port` (0: any free port).
    GameLink(const QString& game, quint16 port, QObject* parent = nullptr);

    bool listening() const;
    quint16 port() const;
    int connectedGames() const { return links_; }
    const QString& game() const { return game_; }

    // The session token a started game logs in with (in its environment, never on its
    // command line); empty: none.
    void setSession(const QString& token) { session_ = token; }
    const QString& session() const { return session_; }
    // Starts the game with `params`; false with why when it is not there or would not start.
    // A password typed for joining goes in the game's environment (never its command line).
    bool start(const QStringList& params, QString& why, const QString& password = {});

    static void report(const QString& line);

signals:
    // The first game's link opened; the last one's closed.
    void gameOpened();
    void gameClosed();
    void linksChanged(int links);

private:
    QString game_;
    QString session_;
    QTcpServer* server_;
    int links_ = 0;
};

}  // namespace quorbit::lobby
