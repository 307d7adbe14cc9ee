// Two lobby windows, offscreen, in the lobby of a real table server: a table made in one
// appears in the other, chat crosses, Join and Watch start the game with the table, a
// private table stays unlisted and its invite link opens it, and a link given at start
// takes the player to its table. The game is a script that writes its parameters down.
#include <QApplication>
#include <QClipboard>
#include <QLabel>
#include <QTableView>
#include <QItemSelectionModel>
#include <QFile>
#include <QSignalSpy>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/lobby/gamelink.h"
#include "app/lobby/lobbylists.h"
#include "app/lobby/lobbywindow.h"
#include "testkit/server_process.h"
#include "lobby_options.h"

namespace lobbywindowtest {
namespace {

using quorbit::lobby::LobbyWindow;

class LobbyWindows : public ::testing::Test {
protected:
    void SetUp() override {
        // The server is ready once it answers a listing (which seats nobody).
        quorbit::e2e::WireClient probe;
        ASSERT_TRUE(probe.connect(server.port, std::chrono::seconds(10)));
        probe.send("CMD_listtables+");
        bool listed = false;
        while (auto line = probe.next(std::chrono::seconds(5)))
            if ((listed = line->rfind("CMD_tablesend", 0) == 0)) break;
        ASSERT_TRUE(listed);
        address = QString("127.0.0.1:%1").arg(server.port);
        QFile script(dir.filePath("game.sh"));
        ASSERT_TRUE(script.open(QIODevice::WriteOnly));
        script.write(QString("#!/bin/sh\nprintf '%s\\n' \"$@\" > '%1.part' && mv '%1.part' '%1'\n")
                         .arg(dir.filePath("params.txt"))
                         .toUtf8());
        script.close();
        script.setPermissions(script.permissions() | QFile::ExeOwner);
    }

    // A window in the lobby under `name`; with `link`, started as `orvanelobby LINK`.
    std::unique_ptr<LobbyWindow> open(const QString& name, const QString& link = {}, bool waitReady = true) {
        quorbit::lobby::Options o;
        o.game = dir.filePath("game.sh");
        o.linkPort = 0;
        o.settingsPath = dir.filePath(name + ".ini");
        o.name = name;
        o.server = link.isEmpty() ? address : QString();
        o.link = link;
        auto w = std::make_unique<LobbyWindow>(o);
        QSignalSpy ready(w.get(), &LobbyWindow::lobbyReady);
        w->show();
        if (waitReady) {
            EXPECT_TRUE(ready.count() > 0 || ready.wait(5000)) << name.toStdString();
        }
        return w;
    }

    // The parameters the game was last started with, once it has written them.
    QStringList startedWith() {
        QStringList params;
        (void)QTest::qWaitFor(
            [&] {
                QFile f(dir.filePath("params.txt"));
                if (!f.open(QIODevice::ReadOnly)) return false;
                params = QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
                return true;
            },
            5000);
        QFile::remove(dir.filePath("params.txt"));
        return params;
    }

    static bool lists(const LobbyWindow& w, const char* table) { return w.lists().book().tableRow(table) >= 0; }

    static quorbit::client::TableRequest request(const char* name, bool isPublic) {
        quorbit::client::TableRequest r;
        r.name = name;
        r.options = {300, 60, 1, false, "classic", "en"};
        r.isPublic = isPublic;
        return r;
    }

    quorbit::e2e::ServerProcess server;
    QTemporaryDir dir;
    QString address;
};

TEST_F(LobbyWindows, ATableMadeInOneAppearsInTheOtherAndChatCrosses) {
    auto ann = open("Ann");
    auto bo = open("Bo");
    QTRY_VERIFY_WITH_TIMEOUT(bo->lists().book().personRow("Ann") >= 0, 2000);

    QSignalSpy made(ann.get(), &LobbyWindow::tableMade);
    ASSERT_TRUE(ann->makeTable(request("Friday", true)));
    QSignalSpy seen(bo.get(), &LobbyWindow::tablesChanged);
    QElapsedTimer clock;
    clock.start();
    while (!lists(*bo, "Friday") && clock.elapsed() < 1000) seen.wait(1000 - static_cast<int>(clock.elapsed()));
    EXPECT_TRUE(lists(*bo, "Friday")) << "not listed within a second";
    ASSERT_TRUE(made.count() == 1 || made.wait(2000));
    EXPECT_EQ(made.first()[1].toString(), "");  // a public table has no code
    // Its maker sits down at it at once.
    EXPECT_EQ(startedWith(), (QStringList{"Ann", address + "/Friday", "false"}));

    QSignalSpy heard(ann.get(), &LobbyWindow::chatArrived);
    ASSERT_TRUE(bo->sendChat("Room for one more?"));
    ASSERT_TRUE(heard.wait(2000));
    EXPECT_EQ(heard.first()[0].toString(), "Bo");
    EXPECT_EQ(heard.first()[1].toString(), "Room for one more?");
    EXPECT_FALSE(bo->sendChat("   "));  // nothing to say

    // Join and Watch start the game at the chosen table.
    EXPECT_FALSE(bo->joinSelected(false));  // nothing chosen
    ASSERT_TRUE(bo->selectTable("Friday"));
    ASSERT_TRUE(bo->joinSelected(false));
    EXPECT_EQ(startedWith(), (QStringList{"Bo", address + "/Friday", "false"}));
    ASSERT_TRUE(bo->joinSelected(true));
    EXPECT_EQ(startedWith(), (QStringList{"Bo", address + "/Friday", "false", "--watch"}));
    EXPECT_EQ(bo->copyInviteLink(), QString("quorbit://127.0.0.1:%1/Friday").arg(server.port));
}

// Another server's table is listed with its server, and Join, Watch and the invite link
// take the player there; the lobby's own tables show the lobby's server.
TEST_F(LobbyWindows, AnotherServersTableIsJoinedAtThatServer) {
    auto bo = open("Bo");
    auto* view = bo->findChild<QTableView*>("list_tables");
    const int server = static_cast<int>(quorbit::lobby::TableColumn::Server);
    EXPECT_TRUE(view->isColumnHidden(server));  // only the lobby's own tables
    bo->receive({"CMD_lobbytable+Friday+0+0+f+0+0+f+classic+0+en+",
                 "CMD_remotetable+other.example:7001+Friday+1+0+f+0+0+f+classic+0+en+",
                 "CMD_remotetable+[2001:db8::5]:7002+Moon+1+0+f+0+0+f+classic+0+en+"});
    EXPECT_FALSE(view->isColumnHidden(server));
    ASSERT_TRUE(bo->selectTable("Friday"));
    EXPECT_EQ(view->selectionModel()->selectedRows(server).first().data().toString(), address);
    ASSERT_TRUE(bo->selectTable("Friday", "other.example:7001"));
    EXPECT_EQ(view->selectionModel()->selectedRows(server).first().data().toString(), "other.example:7001");
    ASSERT_TRUE(bo->joinSelected(false));
    EXPECT_EQ(startedWith(), (QStringList{"Bo", "other.example:7001/Friday", "false"}));
    ASSERT_TRUE(bo->selectTable("Moon", "[2001:db8::5]:7002"));
    ASSERT_TRUE(bo->joinSelected(true));
    EXPECT_EQ(startedWith(), (QStringList{"Bo", "[2001:db8::5]:7002/Moon", "false", "--watch"}));
    EXPECT_EQ(bo->copyInviteLink(), "quorbit://[2001:db8::5]:7002/Moon");
    bo->receive({"CMD_remotetablegone+[2001:db8::5]:7002+Moon+"});
    EXPECT_FALSE(bo->selectTable("Moon", "[2001:db8::5]:7002"));
}

TEST_F(LobbyWindows, APrivateTableStaysUnlistedAndItsInviteLinkOpensIt) {
    auto ann = open("Ann");
    auto bo = open("Bo");
    QSignalSpy made(ann.get(), &LobbyWindow::tableMade);
    ASSERT_TRUE(ann->makeTable(request("Just us", false)));
    ASSERT_TRUE(made.wait(2000));
    const QString code = made.first()[1].toString();
    EXPECT_EQ(code.size(), 10);
    EXPECT_EQ(startedWith(), (QStringList{"Ann", address, "false", "--invite", code}));
    const QString link = QApplication::clipboard()->text();
    EXPECT_EQ(link, QString("quorbit://127.0.0.1:%1/?invite=%2").arg(server.port).arg(code));

    // A public table made after it reaches Bo; the private one never does.
    ASSERT_TRUE(ann->makeTable(request("Open to all", true)));
    QTRY_VERIFY_WITH_TIMEOUT(lists(*bo, "Open to all"), 2000);
    EXPECT_FALSE(lists(*bo, "Just us"));
    EXPECT_FALSE(lists(*ann, "Just us"));
    startedWith();

    ASSERT_TRUE(bo->openInviteLink(link));
    EXPECT_EQ(startedWith(), (QStringList{"Bo", address, "false", "--invite", code}));
    EXPECT_FALSE(bo->openInviteLink("quorbit://127.0.0.1/?invite=nope"));
    EXPECT_FALSE(bo->statusText().isEmpty());
}

TEST_F(LobbyWindows, ALinkGivenAtStartConnectsAndGoesToItsTable) {
    auto ann = open("Ann");
    ASSERT_TRUE(ann->makeTable(request("Friday", true)));
    startedWith();
    const QString link = QString("quorbit://127.0.0.1:%1/Friday").arg(server.port);
    auto cy = open("Cy", link);
    EXPECT_EQ(startedWith(), (QStringList{"Cy", address + "/Friday", "false"}));

    // Without a name the lobby asks for one and does not connect yet.
    auto nameless = open("", link, false);
    EXPECT_TRUE(nameless->statusText().startsWith("Type your name")) << nameless->statusText().toStdString();
    EXPECT_FALSE(nameless->sendChat("hello"));
}

TEST_F(LobbyWindows, TheLobbyStepsAsideWhileTheGamesLinkIsOpen) {
    auto ann = open("Ann");
    ASSERT_TRUE(ann->isVisible());
    QTcpSocket game;  // what a started game does: it opens the link and holds it
    QSignalSpy opened(&ann->link(), &quorbit::lobby::GameLink::gameOpened);
    game.connectToHost(QHostAddress::LocalHost, ann->link().port());
    ASSERT_TRUE(opened.wait(2000));
    EXPECT_FALSE(ann->isVisible());
    QSignalSpy closed(&ann->link(), &quorbit::lobby::GameLink::gameClosed);
    game.disconnectFromHost();
    ASSERT_TRUE(closed.wait(2000));
    EXPECT_TRUE(ann->isVisible());
    // Its connection to the server stayed open meanwhile.
    EXPECT_TRUE(ann->sendChat("back"));
}

}  // namespace

namespace {

// A window fed lines straight, as its connection would hand them over.
std::unique_ptr<LobbyWindow> unconnected(const QTemporaryDir& dir) {
    return std::make_unique<LobbyWindow>(quorbit::lobbytest::testLobbyOptions(dir));
}

std::string table(int i, int players) {
    quorbit::client::LobbyTable t;
    t.name = "T" + std::to_string(i);
    t.players = players;
    t.zubo = "classic";
    return t.format();
}

}  // namespace

// A first listing of many rows is taken in one go; changes after it move single rows.
TEST(LobbyWindow, TheViewFollowsAListingAndItsChanges) {
    QTemporaryDir dir;
    auto w = unconnected(dir);
    auto* view = w->findChild<QTableView*>("list_tables");
    ASSERT_NE(view, nullptr);
    std::vector<std::string> listing;
    for (int i = 0; i < 100; ++i) listing.push_back(table(i, 0));
    listing.push_back(quorbit::protocol::lobby::Lobbyready{0, 100}.format());
    w->receive(listing);
    EXPECT_EQ(view->model()->rowCount(), 100);
    w->receive({"CMD_lobbytablegone+T5+"});
    EXPECT_EQ(view->model()->rowCount(), 99);
    w->receive({table(7, 3)});
    ASSERT_TRUE(w->selectTable("T7"));
    const QModelIndex row = view->selectionModel()->selectedRows(1).first();
    EXPECT_EQ(row.data().toString(), "3 of 4");
}

// Names and refusals from the server are shown as the characters they are, never as markup.
TEST(LobbyWindow, MarkupFromTheServerIsShownAsText) {
    QTemporaryDir dir;
    auto w = unconnected(dir);
    w->receive({"CMD_lobbytable+<b>T</b>+0+0+f+0+0+f+classic+0+en+", "CMD_tablerefused+<img src=x>+"});
    auto* view = w->findChild<QTableView*>("list_tables");
    EXPECT_EQ(view->model()->index(0, 0).data(Qt::ToolTipRole).toString(), "<qt>&lt;b&gt;T&lt;/b&gt;</qt>");
    auto* status = w->findChild<QLabel*>("label_status");
    EXPECT_EQ(status->textFormat(), Qt::PlainText);
    EXPECT_EQ(status->text(), "<img src=x>");
}

}  // namespace lobbywindowtest
