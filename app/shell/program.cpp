#include "app/shell/program.h"

#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QProcess>
#include <QTimer>
#include <cstdio>

#include "app/client/tchat.h"
#include "client/launch.h"
#include "app/discovery/browser.h"
#include "app/discovery/hostannounce.h"
#include "app/media/soundplayer.h"
#include "app/server/serverhost.h"
#include "app/record/recentgames.h"
#include "app/record/recordstore.h"
#include "app/shell/stopsignals.h"
#include "app/shell/instance.h"
#include "app/support/languages.h"
#include "app/support/paths.h"
#include "app/social/aboutform.h"
#include "app/social/downloadform.h"
#include "app/social/gamestartform.h"
#include "app/social/helpform.h"
#include "app/social/joinform.h"
#include "app/social/phrasesform.h"
#include "social/settings.h"
#include "app/social/spylistform.h"
#include "app/social/tallylistform.h"

namespace quorbit::shell {

Program::Program(const CommandLine& line) : line_(line) {
    chat_ = std::make_unique<Tchat>();
    marker_ = std::make_unique<RunningMarker>("quorbit");
    about_ = std::make_unique<Tabout>();
    gamestart_ = std::make_unique<Tgamestart>();
    help_ = std::make_unique<Thelp>();
    phrases_ = std::make_unique<Tphrases>();
    spylist_ = std::make_unique<Tspylist>();
    download_ = std::make_unique<Tdownload>();
    tallylist_ = std::make_unique<Ttallylist>();
    recentgames_ = std::make_unique<TrecentGames>();
    recentgames_->setFolder(app::recordsFolder());
    join_ = std::make_unique<Tjoin>();

    about_->centreOn(chat_.get());
    chat_->setSettingsPath(app::besideProgramFolder() + "/" + QString::fromUtf8(social::kSettingsFileName.data()));
    chat_->attach(Tchat::Windows{about_.get(), gamestart_.get(), help_.get(), phrases_.get(), spylist_.get(),
                                 download_.get(), tallylist_.get(), recentgames_.get()});
    Tchat::Launch launch;
    launch.params = launchParameters(line);
    launch.table = line.invite.empty() ? line.table : line.invite;
    launch.seat = !line.invite.empty() ? client::TableSeat::Invite
                  : line.watch         ? client::TableSeat::Watch
                                       : client::TableSeat::Play;
    launch.port = line.port;
    // Only solo and host mode start a server: a program that joins another's game builds
    // none, so it writes no word file and runs no server clocks.
    launch.startServer = [this](int port, std::string& why) {
        if (!server_) buildServer();
        if (!server_->listen(port)) {
            why = server_->errorText();
            return false;
        }
        startAnnouncing(port);
        return true;
    };
    chat_->setLaunch(std::move(launch));
    chat_->keepRecords(app::recordsFolder());

    join_->setDefaultPort(line.port);
    QObject::connect(chat_.get(), &Tchat::joinWindowRequested, join_.get(), [this] { openLobby(); });
    download_->openJoin = [this] { openLobby(); };
    QObject::connect(chat_.get(), &Tchat::inviteLinkRequested, this, [this](const QString& link) { openLobby(link); });
    QObject::connect(join_.get(), &Tjoin::joinRequested, this,
                     [this](const QString& name, const QString& host, int port, const QString& table,
                            const QString& password) {
                         if (!chat_->confirmLeave("A game is running. Leave it to join another?")) return;
                         relaunchWith(name, host, port, table, password);
                     });
    QObject::connect(join_.get(), &Tjoin::hostRequested, this, [this](const QString& name) {
        if (!chat_->confirmLeave("A game is running. Leave it to host a new one?")) return;
        relaunchWith(name, {}, line_.port);
    });

    QObject::connect(chat_.get(), &Tchat::tallyRequested, tallylist_.get(),
                     [this](const client::TallyCall& call) { tallylist_->apply(call); });
    // The engine asks for sounds only while "Play Sounds" is ticked.
    auto* sounds = new media::SoundPlayer(chat_.get());
    QObject::connect(chat_.get(), &Tchat::soundRequested, sounds,
                     [sounds](const QString& name) { sounds->playsounds(name); });
}

Program::~Program() = default;

void Program::buildServer() {
    server_ = std::make_unique<serverhost::ServerHost>();
    // The host's server plays Zubo at the level the game-start dialog shows.
    server_->setZubolevel(gamestart_->zubolevel());
    QObject::connect(gamestart_.get(), &Tgamestart::zubolevelChanged, server_.get(),
                     [this](rules::ZuboLevel level) { server_->setZubolevel(level); });
    // And in the language the dialog shows (--language chooses it for this run).
    if (line_.languageGiven) {
        const QString code = QString::fromUtf8(line_.language->code.data(), static_cast<qsizetype>(line_.language->code.size()));
        gamestart_->setLanguage(code);
        // The settings are read once the window has logged in; the command line still wins.
        QObject::connect(chat_.get(), &Tchat::joined, gamestart_.get(), [this, code] { gamestart_->setLanguage(code); });
    }
    setServerLanguage(gamestart_->language());
    QObject::connect(gamestart_.get(), &Tgamestart::languageChanged, server_.get(),
                     [this](const QString& code) { setServerLanguage(code); });
}

// A language whose files cannot be read leaves the games in English and says why on stderr.
void Program::setServerLanguage(const QString& code) {
    const language::LoadResult r = app::loadLanguage(code.toStdString());
    if (!r) std::fprintf(stderr, "quorbit: %s\n", r.error.c_str());
    server_->setLanguage(r.language);
    languageCode_ = r ? std::string(r.language->code()) : std::string("en");
    if (announcer_) announcer_->setLanguage(languageCode_);
}

void Program::startAnnouncing(int port) {
    if (!line_.announce || announcer_) return;
    // A solo game is named after the machine; a hosted one after its player.
    const bool solo = chat_->launchPlan().mode == client::LaunchMode::Solo;
    const std::string name = !line_.name.empty() ? line_.name
                             : solo              ? discovery::defaultGameName({})
                                                 : discovery::defaultGameName(chat_->playername());
    announcer_ = discovery::announceHostedGame(*server_, name, port);
    if (announcer_) announcer_->setLanguage(languageCode_);
}

void Program::showJoin() {
    if (!browser_) {
        browser_ = std::make_unique<discovery::GameBrowser>();
        join_->attachBrowser(browser_.get());
    }
    if (join_->playerName().isEmpty()) {
        QString name = chat_->rememberedName();
        // A solo game's player has no name of his own to offer.
        if (name.isEmpty() && chat_->launchPlan().mode != client::LaunchMode::Solo)
            name = QString::fromStdString(chat_->playername());
        join_->setPlayerName(name);
    }
    join_->showOver(chat_.get());
}

void Program::openLobby(const QString& link) {
    const QFileInfo lobby(download_->lobbyProgram());
    if (!lobby.isFile() || !lobby.isExecutable() || !startLobby) {
        showJoin();
        return;
    }
    if (!chat_->confirmLeave("A game is running. Leave it for the lobby?")) return;
    if (!startLobby(lobby.absoluteFilePath(), link.isEmpty() ? QStringList() : QStringList{link}))
        chat_->showMessage("An Error has Occurred.");
}

void Program::relaunchWith(const QString& name, const QString& host, int port, const QString& table,
                           const QString& password) {
    chat_->rememberName(name);
    // The port and the announcement go first, so that a new host can take them.
    announcer_.reset();
    if (server_) server_->stopListening();
    QStringList args;
    for (const std::string& a : restartArguments(name.toStdString(), host.toStdString(), port, line_.announce, table.toStdString()))
        args << QString::fromStdString(a);
    if (relaunch) relaunch(args, password);
}

namespace {

// Starts this program anew with `args`. A password for the join goes in the new program's
// environment only, never on its command line; the lobby's session token stays behind, so
// that it is never handed to a server other than the one the lobby sent this game to.
bool startAgain(const QStringList& args, const QString& password) {
    QProcess process;
    process.setProgram(QCoreApplication::applicationFilePath());
    process.setArguments(args);
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.remove(QString::fromUtf8(client::kSessionVariable));
    env.remove(QString::fromUtf8(client::kPasswordVariable));
    if (!password.isEmpty()) env.insert(QString::fromUtf8(client::kPasswordVariable), password);
    process.setProcessEnvironment(env);
    return process.startDetached();
}

}  // namespace

int runWindowed(const CommandLine& line) {
    QElapsedTimer started;
    started.start();
    const QString platform = QGuiApplication::platformName();
    // Without a desktop (offscreen test runs) there is no window to bring forward.
    const bool desktop = platform != "offscreen" && platform != "minimal";
    InstanceGuard guard(instanceKey("enavro"));
    if (desktop && guard.anotherInstanceRuns()) return 0;

    Program program(line);
    Tchat& chat = program.chat();
    QObject::connect(&guard, &InstanceGuard::activateRequested, &chat, [&chat] {
        if (chat.isMinimized()) chat.showNormal();
        chat.raise();
        chat.activateWindow();
    });
    QObject::connect(&chat, &Tchat::closed, qApp, &QCoreApplication::quit, Qt::QueuedConnection);
    program.relaunch = [&guard, &chat](const QStringList& args, const QString& password) {
        guard.release();
        if (!startAgain(args, password)) {
            chat.showMessage("The game could not be started again.");
            return;
        }
        chat.close();
    };
    program.startLobby = [&guard, &chat](const QString& lobby, const QStringList& args) {
        guard.release();  // the lobby's game is this program started anew
        if (!QProcess::startDetached(lobby, args)) return false;
        chat.close();
        return true;
    };
    // SIGINT and SIGTERM close the main window as the close box would.
    StopSignals stop([&chat] { chat.close(); });
    // Start-up measurement: report the time to the logged-in client, then end.
    if (qEnvironmentVariableIsSet("QUORBIT_STARTUP_PROBE")) {
        // "stay" keeps the program running, "game" also starts a game with the dialog's
        // values as soon as the window holds the table's host powers (at once when it
        // hosts; when a table server names it host, on a server of others).
        QObject::connect(&chat, &Tchat::joined, qApp, [&started, &chat] {
            std::fprintf(stderr, "quorbit: logged in after %lld ms\n", static_cast<long long>(started.elapsed()));
            std::fflush(stderr);
            const QString probe = qEnvironmentVariable("QUORBIT_STARTUP_PROBE");
            if (probe == "game") {
                auto start = [&chat] { QTimer::singleShot(0, &chat, [&chat] { chat.startGameFromDialog(); }); };
                if (chat.state().ishost)
                    start();
                else
                    QObject::connect(&chat, &Tchat::hostingChanged, &chat, [start](bool hosts) {
                        if (hosts) start();
                    }, Qt::SingleShotConnection);
            } else if (probe != "stay") {
                chat.close();
            }
        });
    }
    chat.show();
    if (!line.replayFile.empty()) chat.startReplay(QString::fromStdString(line.replayFile));
    return QApplication::exec();
}

}  // namespace quorbit::shell
