#pragma once
// The windowed program: the guard, then the nine windows in their order, the main window
// shown, and the end of the program when the main window closes.
#include <QObject>
#include <memory>

#include "shell/cmdline.h"

class Tabout;
class Tchat;
class Tdownload;
class Tgamestart;
class Thelp;
class Tphrases;
class Tspylist;
class Ttallylist;
class TrecentGames;
namespace quorbit::serverhost {
class ServerHost;
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
    serverhost::ServerHost* server() { return server_.get(); }

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
};

// The whole windowed run: returns the exit code.
int runWindowed(const CommandLine& line);

}  // namespace quorbit::shell
