#pragma once
// The windowed program: the guard, then the nine windows in their order, the main window
// shown, and the end of the program when the main window closes.
#include <QObject>
#include <memory>

#include "app/shell/cmdline.h"

class Tabout;
class Tchat;
class Tdownload;
class Tgamestart;
class Tjoin;
class Thelp;
class Tphrases;
class Tspylist;
class Ttallylist;
class TrecentGames;
namespace quorbit::serverhost {
class ServerHost;
}
namespace quorbit::discovery {
class GameAnnouncer;
class GameBrowser;
}

namespace quorbit::shell {

class InstanceGuard;
class RunningMarker;

class Program : public QObject {
    Q_OBJECT
public:
    explicit Program(const CommandLine& line);
    ~Program() override;
    Tchat& chat() { return *chat_; }
    Tgamestart& gamestart() { return *gamestart_; }
    Tspylist& spylist() { return *spylist_; }
    Tphrases& phrases() { return *phrases_; }
    Tdownload& download() { return *download_; }
    Ttallylist& tallylist() { return *tallylist_; }
    TrecentGames& recentgames() { return *recentgames_; }
    // The game's server; nothing in join mode, and nothing before the first window is shown.
    serverhost::ServerHost* server() { return server_.get(); }
    Tjoin& join() { return *join_; }
    discovery::GameAnnouncer* announcer() { return announcer_.get(); }

    // Shows the "Join a Game" window; the first time, it starts looking for games.
    void showJoin();
    // "Join a Game" and "Play with Others": the lobby program beside this one, which then
    // starts the game itself, so this program ends once it has started (after asking,
    // when a game runs). Without a lobby program, the "Join a Game" window. With an invite
    // link (from the chat box), the lobby goes to that link's table.
    void openLobby(const QString& link = {});
    // Asked to start the lobby program with these arguments and end this one; false when
    // it would not start.
    std::function<bool(const QString& lobby, const QStringList& args)> startLobby;
    // Join and Host a Game restart the program in that mode: the settings remember the
    // name, the server stops listening, and `relaunch` is asked to start the program
    // with these arguments (restartArguments: name and address as option values) and
    // end this one. A password typed for joining goes with it (empty: none), for the new
    // program's environment only (client::kPasswordVariable).
    std::function<void(const QStringList& args, const QString& password)> relaunch;

private:
    // Join mode toward `host`, or host mode when `host` is empty.
    void relaunchWith(const QString& name, const QString& host, int port, const QString& table = {},
                      const QString& password = {});
    void startAnnouncing(int port);
    void buildServer();
    void setServerLanguage(const QString& code);

    CommandLine line_;

private:
    // Declared in creation order; destroyed in reverse.
    std::unique_ptr<Tchat> chat_;
    std::unique_ptr<RunningMarker> marker_;
    std::unique_ptr<Tabout> about_;
    std::unique_ptr<Tgamestart> gamestart_;
    std::unique_ptr<Thelp> help_;
    std::unique_ptr<Tphrases> phrases_;
    std::unique_ptr<serverhost::ServerHost> server_;
    std::unique_ptr<Tspylist> spylist_;
    std::unique_ptr<Tdownload> download_;
    std::unique_ptr<Ttallylist> tallylist_;
    std::unique_ptr<TrecentGames> recentgames_;
    std::unique_ptr<Tjoin> join_;
    std::unique_ptr<discovery::GameBrowser> browser_;
    std::unique_ptr<discovery::GameAnnouncer> announcer_;
    std::string languageCode_ = "en";  // the hosted games' language, as announced
};

// The whole windowed run: returns the exit code.
int runWindowed(const CommandLine& line);

}  // namespace quorbit::shell
