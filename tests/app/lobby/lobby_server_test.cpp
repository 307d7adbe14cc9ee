// The lobby window against a real table server on loopback: TLS with a certificate made
// here (taken on first use and kept in the lobby's settings), accounts and ratings in a
// real SQLite store, and a plain-text guest beside it.
#include <QAbstractItemModel>
#include <QAction>
#include <QDateTime>
#include <QFile>
#include <QSignalSpy>
#include <QTableView>
#include <QTableWidget>
#include <QTemporaryDir>
#include <QTest>
#include <gtest/gtest.h>
#include <memory>

#include "app/lobby/lobbyconnection.h"
#include "app/lobby/lobbylists.h"
#include "app/lobby/lobbywindow.h"
#include "app/net/tls.h"
#include "app/server/serverhost.h"
#include "app/store/store.h"
#include "protocol/account_messages.h"
#include "protocol/lobby_messages.h"
#include "rules/seats.h"
#include "testkit/tls_table_server.h"
#include "testkit/wire_client.h"
#include "lobby_options.h"

namespace lobbyservertest {
namespace {

using quorbit::lobby::LobbyWindow;
namespace acc = quorbit::protocol::accounts;

constexpr int kWaitMs = 20000;  // hashing a password on a loaded machine

// The row of the online list showing `name`, or -1.
int personRow(const QAbstractItemModel& people, const QString& name) {
    for (int r = 0; r < people.rowCount(); ++r)
        if (people.index(r, 0).data().toString() == name) return r;
    return -1;
}

}  // namespace

TEST(LobbyServer, AnAccountRegisteredOverTlsKeepsItsNameAndShowsItsRating) {
    QTemporaryDir dir;
    quorbit::store::Store store;
    ASSERT_TRUE(store.open(quorbit::store::parseDatabaseTarget(dir.filePath("store.sqlite"))));
    quorbit::serverhost::ServerHost::Options so = quorbit::testsupport::tlsTableServerOptions();
    ASSERT_TRUE(so.tls);
    so.dictionaryFolder = dir.path().toStdString();
    quorbit::serverhost::ServerHost host(so);
    host.keepAccounts(store);
    const int port = quorbit::e2e::freePort();
    ASSERT_TRUE(host.listen(port)) << host.errorText();

    const quorbit::lobby::Options o = quorbit::lobbytest::testLobbyOptions(dir, port);
    LobbyWindow w(o);
    QSignalSpy ready(&w, &LobbyWindow::lobbyReady);
    QSignalSpy loggedIn(&w, &LobbyWindow::loggedIn);
    QSignalSpy ended(&w, &LobbyWindow::connectionEnded);
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() == 1; }, kWaitMs)) << w.statusText().toStdString();
    // The certificate was taken on first use, and accounts are offered.
    EXPECT_TRUE(w.connection().encrypted());
    QFile ini(o.settingsPath);
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    EXPECT_TRUE(ini.readAll().contains(QByteArray::fromStdString(so.tls->fingerprint())));
    EXPECT_TRUE(w.findChild<QAction*>("action_register")->isEnabled());

    ASSERT_TRUE(w.logIn("Ann", "correct horse", true));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() == 2; }, kWaitMs)) << w.statusText().toStdString();
    ASSERT_EQ(loggedIn.count(), 1);
    EXPECT_EQ(loggedIn.first().first().toString(), "Ann");
    EXPECT_EQ(w.lists().book().ownName(), "Ann");
    EXPECT_TRUE(store.hasAccount("ann"));

    // A guest in plain text is given another name.
    quorbit::e2e::WireClient guest;
    ASSERT_TRUE(guest.connect(port));
    ASSERT_TRUE(guest.send(quorbit::protocol::lobby::Lobby{"Ann"}.format()));
    std::optional<std::string> named;
    ASSERT_TRUE(QTest::qWaitFor([&] { return (named = guest.next(std::chrono::milliseconds(5))).has_value(); }, kWaitMs));
    EXPECT_EQ(*named, quorbit::protocol::lobby::Lobbyname{"Ann (2)"}.format());

    // A rated game against the computer; logging in again, the online list shows the rating.
    quorbit::server::GameFinished game;
    game.seats = {{1, "Ann", 40, 0, quorbit::server::SeatResult::Player::Person, {}},
                  {2, std::string(quorbit::rules::kComputerName), 12, 0, quorbit::server::SeatResult::Player::Computer, {}}};
    game.playTo = 40;
    game.winner = "Ann";
    ASSERT_TRUE(store.recordGame("", game, "", QDateTime::currentSecsSinceEpoch())) << store.error().toStdString();
    const auto rating = store.rating("Ann");
    ASSERT_TRUE(rating && rating->glickoGames == 1);
    const QString shown = QString::fromStdString(acc::ratingText(acc::RatingModel::Duel, rating->glicko.rating));
    ASSERT_TRUE(w.logIn("Ann", "correct horse"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return ready.count() == 3; }, kWaitMs)) << w.statusText().toStdString();
    EXPECT_EQ(loggedIn.count(), 2);
    const QAbstractItemModel* people = w.findChild<QTableView*>("list_people")->model();
    QTRY_VERIFY_WITH_TIMEOUT(personRow(*people, "Ann") >= 0, kWaitMs);
    EXPECT_EQ(people->index(personRow(*people, "Ann"), 2).data().toString(), shown);
    EXPECT_GE(personRow(*people, "Ann (2)"), 0);

    // The leaderboard is asked for and answered with Ann alone.
    QSignalSpy boards(&w, &LobbyWindow::leaderboardShown);
    w.showLeaderboard();
    ASSERT_TRUE(QTest::qWaitFor([&] { return boards.count() == 2; }, kWaitMs));
    const auto* duel = w.findChild<QTableWidget*>("list_leaders_duel");
    ASSERT_NE(duel, nullptr);
    ASSERT_EQ(duel->rowCount(), 1);
    EXPECT_EQ(duel->item(0, 1)->text(), "Ann");
    EXPECT_EQ(duel->item(0, 2)->text(), shown);
    EXPECT_EQ(w.findChild<QTableWidget*>("list_leaders_group")->rowCount(), 0);
    EXPECT_EQ(ended.count(), 0);
}

}  // namespace lobbyservertest
