#pragma once
// The lobby stand-in's window: asks for a name, a host address and whether to host or
// join, starts the game with its three parameters, and listens on 127.0.0.1 for the
// silent link that a started game opens, showing while one is connected.
//
// Every event is also written as one line to standard output ("started: ...", "game
// process: PID", "refused: ...", "link: ..."), so scripts can follow the lobby.
#include <QWidget>
#include <memory>

class QLabel;
class QLineEdit;
class QRadioButton;
class QTcpServer;
class Tjoin;
namespace quorbit::discovery {
class GameBrowser;
}

namespace quorbit::lobby {

struct Options {
    QString game;         // the game program
    quint16 linkPort = 9001;
    QString name;         // prefilled fields
    QString host = "127.0.0.1";
    bool hosting = true;  // "Host a game" chosen
    bool startNow = false;
};

// Reads --game PATH, --link-port N, --player NAME, --host TEXT, --mode host|join and
// --start (not --name: Qt takes that one for itself); the game defaults to "quorbit"
// beside this program. False (with the reason)
// for an option it does not know or a value that does not read.
bool parseOptions(const QStringList& args, Options& out, QString& error);

class LobbyWindow : public QWidget {
public:
    explicit LobbyWindow(const Options& options, QWidget* parent = nullptr);
    ~LobbyWindow() override;

    // Starts the game with the fields' values; false with a reason shown when a field
    // is missing or the game would not start.
    bool startGame();
    // "Play with Others": the window that lists the games on the local network; its Join
    // and Host a Game start the game as the fields would.
    Tjoin& showJoin();
    int connectedGames() const { return links_; }

private:
    void report(const QString& line);
    void showLinks();
    bool launch(const QString& name, const QString& host, bool hosting, int port);
    bool refuse(const QString& why);  // says why nothing started; false

    Options options_;
    QLineEdit* name_ = nullptr;
    QLineEdit* host_ = nullptr;
    QRadioButton* hosting_ = nullptr;
    QRadioButton* joining_ = nullptr;
    QLabel* status_ = nullptr;
    QLabel* link_ = nullptr;
    QTcpServer* server_ = nullptr;
    int links_ = 0;
    std::unique_ptr<quorbit::discovery::GameBrowser> browser_;
    std::unique_ptr<Tjoin> join_;
};

}  // namespace quorbit::lobby
