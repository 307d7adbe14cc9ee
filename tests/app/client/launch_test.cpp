// Launch modes, the player context menu and the connection's failure notice, with the
// server of one window and further windows joining it over loopback.
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QFileInfo>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QLineEdit>
#include <QListWidget>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QFile>

#include "dictionary/dictn.h"
#include "app/net/tls.h"
#include "app/server/serverhost.h"
#include "app/social/downloadform.h"
#include "app/social/joinform.h"
#include "app/social/spylistform.h"
#include "testkit/tls_table_server.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

// A bare main window in a chosen launch mode; no other windows.
std::unique_ptr<Tchat> launched(std::vector<std::string> params, int port, int lobbyPort,
                                serverhost::ServerHost* host, QStringList* boxes) {
    auto chat = std::make_unique<Tchat>();
    chat->showMessage = [boxes](const QString& t) { boxes->append(t); };
    chat->setSettingsPath(qEnvironmentVariable("QUORBIT_DATA_DIR") + "/orvanelobby.ini");
    Tchat::Launch launch;
    launch.params = std::move(params);
    launch.port = port;
    launch.lobbyPort = lobbyPort;
    if (host)
        launch.startServer = [host](int p, std::string& why) {
            if (host->listen(p)) return true;
            why = host->errorText();
            return false;
        };
    chat->setLaunch(std::move(launch));
    chat->show();  // the first show enters the launch mode
    return chat;
}

class Launch : public ::testing::Test {
protected:
    TempHome home;
    QStringList boxes;
    int port = freeLoopbackPort();
};

TEST_F(Launch, HostModeConnectsToLoopbackAndOpensTheLobbyLink) {
    QTcpServer lobby;
    ASSERT_TRUE(lobby.listen(QHostAddress::LocalHost, 0));
    serverhost::ServerHost host;
    auto ann = launched({"Ann", "10.0.0.5", "true"}, port, lobby.serverPort(), &host, &boxes);
    ASSERT_TRUE(waitFor([&] { return ann->state().loggedin && chatOf(*ann).contains("You are Connected."); }));
    EXPECT_TRUE(chatOf(*ann).startsWith("Loading Multi-player Game.. Please Wait."));
    EXPECT_EQ(ann->state().seats[0].label_playername, "Ann");
    EXPECT_EQ(ann->hostaddress(), "10.0.0.5");  // kept, but the socket went to 127.0.0.1
    EXPECT_TRUE(ann->state().ishost);
    EXPECT_TRUE(ann->findChild<QPushButton*>("button_start")->isVisible());
    EXPECT_TRUE(ann->lobbyLinkOpened());
    EXPECT_TRUE(waitFor([&] { return lobby.hasPendingConnections(); }));
    QTcpSocket* link = lobby.nextPendingConnection();
    ASSERT_TRUE(link);
    QTest::qWait(50);
    EXPECT_EQ(link->bytesAvailable(), 0);  // nothing is ever sent on it
}

TEST_F(Launch, JoinModeIsChosenByAnythingButLowerCaseTrue) {
    serverhost::ServerHost host;
    auto ann = launched({"Ann", "127.0.0.1", "true"}, port, freeLoopbackPort(), &host, &boxes);
    ASSERT_TRUE(waitFor([&] { return ann->state().loggedin; }));
    auto bob = launched({"Bob", "127.0.0.1", "TRUE"}, port, freeLoopbackPort(), nullptr, &boxes);
    ASSERT_TRUE(waitFor([&] { return bob->state().loggedin && chatOf(*bob).contains("You are Connected."); }));
    EXPECT_FALSE(bob->state().ishost);
    EXPECT_EQ(bob->state().myseat, 2);
    EXPECT_FALSE(bob->findChild<QPushButton*>("button_start")->isVisible());
    EXPECT_FALSE(bob->action("StartGame1")->isEnabled());
    ASSERT_TRUE(waitFor([&] { return ann->state().seats[1].label_playername == "Bob"; }));
    EXPECT_TRUE(chatOf(*ann).contains("Bob is Connected."));

    // The player context menu: everything for the host except removing an empty seat,
    // nothing for a joined player.
    ann->preparePlayerMenu(3);
    EXPECT_FALSE(ann->action("RemoveFromGame1")->isEnabled());
    EXPECT_TRUE(ann->action("SettoJustWatch1")->isEnabled());
    EXPECT_TRUE(ann->action("UnsetJustWatch1")->isEnabled());
    ann->preparePlayerMenu(2);
    EXPECT_TRUE(ann->action("RemoveFromGame1")->isEnabled());
    bob->preparePlayerMenu(1);
    EXPECT_FALSE(bob->action("RemoveFromGame1")->isEnabled());
    EXPECT_FALSE(bob->action("SettoJustWatch1")->isEnabled());
    EXPECT_FALSE(bob->action("UnsetJustWatch1")->isEnabled());

    // In a running game the host sets Bob to just watch: both clients show the eye mark,
    // and Bob's own Options item is ticked by the server's answer.
    protocol::GameSettings settings;
    settings.starter = "Ann";
    settings.playTo = 10000;
    ann->engine().startGame(settings);
    ann->sync();
    ASSERT_TRUE(waitFor([&] { return chatOf(*bob).contains("Ann has started a game."); }));
    ann->preparePlayerMenu(2);
    ann->action("SettoJustWatch1")->trigger();
    ASSERT_TRUE(waitFor([&] { return bob->action("JustWatch1")->isChecked(); }));
    EXPECT_TRUE(waitFor([&] { return ann->findChild<QLabel*>("image_eyes2")->isVisible(); }));
    // Bob's own menu item asks to play again; the mark waits for the answer.
    bob->action("JustWatch1")->trigger();
    EXPECT_TRUE(bob->action("JustWatch1")->isChecked());
    ASSERT_TRUE(waitFor([&] { return !bob->action("JustWatch1")->isChecked(); }));

    // Removing Bob closes his connection, and with it his window.
    ann->action("RemoveFromGame1")->trigger();
    ASSERT_TRUE(waitFor([&] { return !bob->isVisible(); }));
    EXPECT_TRUE(waitFor([&] { return ann->state().seats[1].label_playername == "Zubo"; }));
}

TEST_F(Launch, JoinModeReachesTheHostOverIPv6) {
    serverhost::ServerHost host;
    auto ann = launched({"Ann", "127.0.0.1", "true"}, port, freeLoopbackPort(), &host, &boxes);
    ASSERT_TRUE(waitFor([&] { return ann->state().loggedin; }));
    {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHostIPv6, 0)) GTEST_SKIP() << "this machine has no IPv6 loopback (::1)";
    }
    for (const char* address : {"::1", "[::1]"}) {
        auto cleo = launched({"Cleo", address, "false"}, port, freeLoopbackPort(), nullptr, &boxes);
        ASSERT_TRUE(waitFor([&] { return cleo->state().loggedin && chatOf(*cleo).contains("You are Connected."); }))
            << address << ": " << chatOf(*cleo).toStdString();
        EXPECT_EQ(cleo->state().myseat, 2);
        ASSERT_TRUE(waitFor([&] { return ann->state().seats[1].label_playername == "Cleo"; }));
        cleo->close();
        cleo.reset();
        ASSERT_TRUE(waitFor([&] { return host.server().seat(2).name.empty(); }));
    }
}

// At a table server the windows show the host's powers to the seat the server names, and
// move them when the host leaves; the address carries the port and the table.
TEST_F(Launch, AtATableServerTheHostsPowersFollowTheServer) {
    serverhost::ServerHost::Options options;
    options.tables = true;
    serverhost::ServerHost host(options);
    ASSERT_TRUE(host.listen(port));
    const std::string at = "127.0.0.1:" + std::to_string(port) + "/Friday";
    const int elsewhere = freeLoopbackPort();  // the address's port wins over the program's
    auto ann = launched({"Ann", at, "false"}, elsewhere, freeLoopbackPort(), nullptr, &boxes);
    ASSERT_TRUE(waitFor([&] { return ann->state().ishost; })) << chatOf(*ann).toStdString();
    EXPECT_TRUE(ann->findChild<QPushButton*>("button_start")->isVisible());
    EXPECT_TRUE(ann->action("StartGame1")->isEnabled());
    EXPECT_TRUE(chatOf(*ann).contains("You are at the table Friday."));
    ASSERT_NE(host.tables().table("Friday"), nullptr);

    auto bob = launched({"Bob", at, "false"}, elsewhere, freeLoopbackPort(), nullptr, &boxes);
    ASSERT_TRUE(waitFor([&] { return bob->state().hostseat == 1; }));
    EXPECT_FALSE(bob->state().ishost);
    EXPECT_FALSE(bob->findChild<QPushButton*>("button_start")->isVisible());
    EXPECT_FALSE(bob->action("StartGame1")->isEnabled());
    bob->preparePlayerMenu(1);
    EXPECT_FALSE(bob->action("RemoveFromGame1")->isEnabled());

    ann->close();
    ann.reset();
    ASSERT_TRUE(waitFor([&] { return bob->state().ishost; }));
    EXPECT_TRUE(bob->findChild<QPushButton*>("button_start")->isVisible());
    EXPECT_TRUE(bob->action("StartGame1")->isEnabled());
    EXPECT_TRUE(chatOf(*bob).contains(QString::fromUtf8(client::kHostNotice.data(), static_cast<qsizetype>(client::kHostNotice.size()))));
    protocol::GameSettings settings;
    settings.starter = "Bob";
    settings.playTo = 10000;
    bob->engine().startGame(settings);
    bob->sync();
    EXPECT_TRUE(waitFor([&] { return host.tables().table("Friday")->gamerunning(); }));
}

// A server with one table (a window's host mode) seats a client that names a table at
// that table: it plays, and its chat box says so.
TEST_F(Launch, NamingATableAtAServerWithOneTableStillPlays) {
    serverhost::ServerHost host;
    auto ann = launched({"Ann", "127.0.0.1", "true"}, port, freeLoopbackPort(), &host, &boxes);
    ASSERT_TRUE(waitFor([&] { return ann->state().loggedin; }));
    auto bob = launched({"Bob", "127.0.0.1/Friday", "false"}, port, freeLoopbackPort(), nullptr, &boxes);
    const QString notice = QString::fromUtf8(client::kOneTableNotice.data(), static_cast<qsizetype>(client::kOneTableNotice.size()));
    ASSERT_TRUE(waitFor([&] { return chatOf(*bob).contains(notice); }, 10000)) << chatOf(*bob).toStdString();
    EXPECT_EQ(bob->state().myseat, 2);
    EXPECT_FALSE(bob->state().ishost);
    EXPECT_TRUE(ann->state().ishost);
    EXPECT_EQ(chatOf(*bob).count(notice), 1);
}

// File, "Copy Invite Link": the link of the table joined, greyed out where there is none.
TEST_F(Launch, TheInviteLinkOfTheTableJoinedIsCopied) {
    auto ann = launched({"Ann", "127.0.0.1:" + std::to_string(port) + "/Friday Club", "false"}, port, 0, nullptr, &boxes);
    QAction* copy = ann->findChild<QAction*>("CopyInviteLink1");
    ASSERT_NE(copy, nullptr);
    ASSERT_TRUE(copy->isEnabled());
    copy->trigger();
    const QString link = "quorbit://127.0.0.1:" + QString::number(port) + "/Friday%20Club";
    EXPECT_EQ(QApplication::clipboard()->text(), link);
    EXPECT_TRUE(chatOf(*ann).contains(link));
    auto bob = launched({"Bob", "127.0.0.1", "false"}, port, 0, nullptr, &boxes);
    EXPECT_FALSE(bob->findChild<QAction*>("CopyInviteLink1")->isEnabled());
}

TEST_F(Launch, TwoParametersEnterNoMode) {
    auto ann = launched({"Ann", "10.0.0.5"}, port, freeLoopbackPort(), nullptr, &boxes);
    QTest::qWait(50);
    EXPECT_EQ(chatOf(*ann), "Loading Multi-player Game.. Please Wait.");
    EXPECT_FALSE(ann->findChild<QPushButton*>("button_start")->isVisible());
    EXPECT_FALSE(ann->lobbyLinkOpened());
    EXPECT_FALSE(ann->state().loggedin);
}

TEST_F(Launch, AJoinedTableServerSpeaksTlsAndAChangedCertificateIsRefusedInTheChat) {
    serverhost::ServerHost host(testsupport::tlsTableServerOptions());
    ASSERT_TRUE(host.listen(port)) << host.errorText();
    auto ann = launched({"Ann", "127.0.0.1", "false"}, port, 0, nullptr, &boxes);
    ASSERT_TRUE(waitFor([&] { return ann->state().loggedin; }));
    EXPECT_TRUE(ann->encrypted());

    QFile ini(home.path() + "/orvanelobby.ini");
    ASSERT_TRUE(ini.open(QIODevice::WriteOnly));
    ini.write(QString("[tls]\n127.0.0.1:%1=00:11:22\n").arg(port).toUtf8());
    ini.close();
    auto bob = launched({"Bob", "127.0.0.1", "false"}, port, 0, nullptr, &boxes);
    ASSERT_TRUE(waitFor([&] {
        return chatOf(*bob).contains(QString("The certificate of 127.0.0.1:%1 has changed").arg(port));
    }));
    EXPECT_FALSE(bob->state().loggedin);
    EXPECT_FALSE(bob->encrypted());
}

TEST_F(Launch, ARefusedConnectionIsTold) {
    // Nothing listens on this port.
    auto bob = launched({"Bob", "127.0.0.1", "false"}, port, freeLoopbackPort(), nullptr, &boxes);
    ASSERT_TRUE(waitFor([&] { return chatOf(*bob).contains("Unable to reach the host 127.0.0.1"); }));
    EXPECT_TRUE(chatOf(*bob).contains("WSAECONNREFUSED"));
    EXPECT_TRUE(bob->isVisible());  // the window stays
}

TEST_F(Launch, ABusyPortIsToldAndTheClientStillTries) {
    QTcpServer squatter;
    ASSERT_TRUE(squatter.listen(QHostAddress::Any, static_cast<quint16>(port)));
    serverhost::ServerHost host;
    auto ann = launched({}, port, freeLoopbackPort(), &host, &boxes);
    EXPECT_TRUE(chatOf(*ann).contains(QString("Unable to start the game server on port %1").arg(port)));
}

}  // namespace
}  // namespace quorbit::apptest

namespace quorbit::apptest {
namespace {

// The game's server is built by solo and host mode only: joining another's game writes
// no word file and runs no server clocks.
TEST_F(Launch, OnlySoloAndHostModeBuildAServer) {
    const QString wordFile = home.path() + "/" + QString::fromUtf8(dictionary::kWordFileName.data());
    {
        shell::CommandLine line;
        line.port = port;
        line.positional = {"Bob", "127.0.0.1", "false"};
        shell::Program joining(line);
        joining.chat().showMessage = [this](const QString& t) { boxes << t; };
        joining.chat().show();
        ASSERT_TRUE(waitFor([&] { return chatOf(joining.chat()).contains("Unable to reach the host"); }));
        EXPECT_EQ(joining.server(), nullptr);
        EXPECT_FALSE(QFileInfo::exists(wordFile));
    }
    for (const std::vector<std::string>& params :
         {std::vector<std::string>{}, std::vector<std::string>{"Ann", "127.0.0.1", "true"}}) {
        shell::CommandLine line;
        line.port = freeLoopbackPort();
        line.positional = params;
        shell::Program hosting(line);
        EXPECT_EQ(hosting.server(), nullptr);  // built when the window enters its mode
        hosting.chat().show();
        ASSERT_TRUE(waitFor([&] { return hosting.chat().state().loggedin; }));
        ASSERT_NE(hosting.server(), nullptr);
        const std::string name = params.empty() ? "You" : "Ann";
        EXPECT_TRUE(waitFor([&] { return hosting.server()->server().seat(1).name == name; }));
        EXPECT_TRUE(QFileInfo::exists(wordFile));
    }
}

TEST_F(Launch, ASpectatorIsListedAndTheHostCanRemoveHim) {
    shell::CommandLine line;
    line.port = port;
    line.positional = {"Ann", "127.0.0.1", "true"};
    shell::Program host(line);
    Tchat& ann = host.chat();
    ann.showMessage = [this](const QString& t) { boxes << t; };
    ann.show();
    ASSERT_TRUE(waitFor([&] { return chatOf(ann).contains("You are Connected."); }));
    std::vector<std::unique_ptr<Tchat>> others;
    for (const char* name : {"Bob", "Cy", "Di", "Eve"}) {
        others.push_back(launched({name, "127.0.0.1", "false"}, port, 1, nullptr, &boxes));
        Tchat* joined = others.back().get();
        ASSERT_TRUE(waitFor([&] { return chatOf(*joined).contains("You are Connected."); })) << name;
    }
    Tchat& eve = *others.back();
    EXPECT_EQ(eve.state().myseat, 5);
    EXPECT_TRUE(chatOf(eve).contains("You are spying."));
    ASSERT_TRUE(waitFor([&] { return host.spylist().entries() == QStringList{"5: Eve"}; }));
    EXPECT_TRUE(chatOf(ann).contains("Eve is spying."));
    EXPECT_TRUE(host.spylist().kickAction()->isEnabled());  // this client hosts

    ann.action("SpyList1")->trigger();
    ASSERT_TRUE(host.spylist().isVisible());
    auto* list = host.spylist().findChild<QListWidget*>("listbox_spys");
    host.spylist().hoverAt(list->visualItemRect(list->item(0)).center());
    host.spylist().kickAction()->trigger();
    ASSERT_TRUE(waitFor([&] { return !eve.isVisible(); }));
    ASSERT_TRUE(waitFor([&] { return host.spylist().entries().isEmpty(); }));
    EXPECT_TRUE(chatOf(ann).contains("Eve has left."));
}

// Join restarts the program with the typed name and address as option values: a name
// that reads as an option is refused where it is typed, any other is passed inertly, and
// Qt is handed none of it.
TEST_F(Launch, JoinRestartsWithTheNameAndAddressAsOptionValues) {
    shell::CommandLine line;
    line.port = port;
    shell::Program program(line);
    std::vector<QStringList> restarts;
    program.relaunch = [&](const QStringList& args, const QString&) { restarts.push_back(args); };
    program.showJoin();
    Tjoin& join = program.join();
    join.findChild<QLineEdit*>("edit_address")->setText("10.0.0.5:7000");
    for (const char* name : {"--server", "-platform", "-h", "--replay=/etc/hostname"}) {
        join.setPlayerName(name);
        EXPECT_FALSE(join.joinClick()) << name;
        EXPECT_FALSE(join.hostClick()) << name;
        EXPECT_TRUE(join.errorText().contains("cannot begin with \"-\"")) << join.errorText().toStdString();
    }
    EXPECT_TRUE(restarts.empty());

    for (const char* name : {"Zed --server", "Ann"}) {
        join.setPlayerName(name);
        ASSERT_TRUE(join.joinClick()) << name;
        std::vector<std::string> args;
        for (const QString& a : restarts.back()) args.push_back(a.toStdString());
        const shell::CommandLine again = shell::parseCommandLine(args);
        EXPECT_TRUE(again.error.empty()) << again.error;
        EXPECT_FALSE(again.server || again.help || again.version);
        EXPECT_EQ(shell::launchParameters(again), (std::vector<std::string>{name, "10.0.0.5", "false"}));
        EXPECT_EQ(again.port, 7000);
        EXPECT_TRUE(shell::toolkitArguments(again).empty());
    }
    ASSERT_TRUE(join.hostClick());
    std::vector<std::string> args;
    for (const QString& a : restarts.back()) args.push_back(a.toStdString());
    const shell::CommandLine hosting = shell::parseCommandLine(args);
    EXPECT_EQ(shell::launchParameters(hosting), (std::vector<std::string>{"Ann", "127.0.0.1", "true"}));
    EXPECT_EQ(hosting.port, port);
}

// "Join a Game" and a Quorbit link in the chat box hand over to the lobby program beside
// the game, which then starts the game itself; without one, the Join window opens.
TEST_F(Launch, JoinAGameAndInviteLinksOpenTheLobby) {
    QTemporaryDir dir;
    shell::CommandLine line;
    line.port = port;
    shell::Program program(line);
    std::vector<QStringList> started;
    program.startLobby = [&](const QString& lobby, const QStringList& args) {
        started.push_back(QStringList{lobby} + args);
        return true;
    };
    program.download().setLobbyProgram(dir.filePath("orvanelobby"));
    QAction* joinGame = program.chat().findChild<QAction*>("JoinaGame1");
    ASSERT_NE(joinGame, nullptr);
    joinGame->trigger();  // no lobby program there
    EXPECT_TRUE(started.empty());
    EXPECT_TRUE(program.join().isVisible());
    program.join().hide();

    QFile lobby(dir.filePath("orvanelobby"));
    ASSERT_TRUE(lobby.open(QIODevice::WriteOnly));
    lobby.close();
    lobby.setPermissions(lobby.permissions() | QFile::ExeOwner);
    joinGame->trigger();
    ASSERT_EQ(started.size(), 1u);
    EXPECT_EQ(started[0], QStringList{QFileInfo(lobby).absoluteFilePath()});
    emit program.chat().inviteLinkRequested("quorbit://example.org/Friday");
    ASSERT_EQ(started.size(), 2u);
    EXPECT_EQ(started[1], (QStringList{QFileInfo(lobby).absoluteFilePath(), "quorbit://example.org/Friday"}));
    EXPECT_FALSE(program.join().isVisible());
}

}  // namespace
}  // namespace quorbit::apptest
