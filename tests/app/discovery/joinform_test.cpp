// The "Join a Game" window offscreen: the list of found games, choosing one, typing an
// address, a server's tables, and what Join and Host a Game ask for.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSignalSpy>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <QTreeWidget>

#include "app/discovery/browser.h"
#include "app/social/joinform.h"
#include "language/language.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"

using quorbit::discovery::FoundGame;

namespace {

FoundGame game(const char* name, const char* address, int port, int players, bool running) {
    FoundGame g;
    g.name = name;
    g.address = address;
    g.port = port;
    g.txt.players = players;
    g.txt.running = running;
    return g;
}

struct JoinWindow : ::testing::Test {
    Tjoin join;
    QTreeWidget* list = join.findChild<QTreeWidget*>("list_games");
    QLineEdit* address = join.findChild<QLineEdit*>("edit_address");
    QLineEdit* name = join.findChild<QLineEdit*>("edit_name");
    QPushButton* joinButton = join.findChild<QPushButton*>("button_join");
    QPushButton* hostButton = join.findChild<QPushButton*>("button_host");
    QSignalSpy joins{&join, &Tjoin::joinRequested};
    QSignalSpy hosts{&join, &Tjoin::hostRequested};
};

}  // namespace

TEST_F(JoinWindow, ListsFoundGamesAndAChosenGameFillsTheAddress) {
    ASSERT_TRUE(list && address && name && joinButton && hostButton);
    EXPECT_EQ(join.windowTitle(), "Join a Game");
    join.setGames({game("Ann's game", "10.0.0.5", 7772, 2, false), game("Bob's game", "fe80::1%qv0", 7000, 4, true)});
    ASSERT_EQ(list->topLevelItemCount(), 2);
    const QTreeWidgetItem* bob = list->topLevelItem(1);
    EXPECT_EQ(bob->text(0), "Bob's game");
    EXPECT_EQ(bob->text(1), "4 of 4");
    EXPECT_EQ(bob->text(2), "yes");
    EXPECT_EQ(bob->text(3), "[fe80::1%qv0]:7000");
    EXPECT_EQ(list->topLevelItem(0)->text(3), "10.0.0.5");  // the game port goes unsaid

    list->setCurrentItem(list->topLevelItem(1));
    EXPECT_EQ(address->text(), "[fe80::1%qv0]:7000");
    // The list refreshes as games change; the chosen one stays chosen.
    join.setGames({game("Ann's game", "10.0.0.5", 7772, 3, true), game("Bob's game", "fe80::1%qv0", 7000, 3, true)});
    ASSERT_NE(list->currentItem(), nullptr);
    EXPECT_EQ(list->currentItem()->text(0), "Bob's game");
    EXPECT_EQ(list->currentItem()->text(1), "3 of 4");
    // A game whose records say nothing shows question marks, not made-up values.
    FoundGame silent;
    silent.name = "Quiet";
    silent.address = "10.0.0.9";
    silent.port = 7772;
    join.setGames({silent});
    EXPECT_EQ(list->topLevelItem(0)->text(1), "?");
    EXPECT_EQ(list->topLevelItem(0)->text(2), "?");
    // A game played in another language says which after its name; the address is as before.
    FoundGame french = game("Ann's game", "10.0.0.5", 7772, 2, false), foreign = game("Bob's game", "10.0.0.6", 7772, 1, false);
    french.txt.language = "fr";
    foreign.txt.language = "qq";  // a code this program does not know is shown as it is
    join.setGames({french, foreign});
    if (quorbit::language::find("fr")) {
        EXPECT_EQ(list->topLevelItem(0)->text(0), "Ann's game (French)");
    }
    EXPECT_EQ(list->topLevelItem(1)->text(0), "Bob's game (qq)");
    list->setCurrentItem(list->topLevelItem(0));
    EXPECT_EQ(address->text(), "10.0.0.5");
}

TEST_F(JoinWindow, JoinAsksForTheTypedAddressAndName) {
    name->setText("  Cleo ");
    address->setText("[::1]:7000");
    joinButton->click();
    ASSERT_EQ(joins.count(), 1);
    EXPECT_EQ(joins[0][0].toString(), "Cleo");
    EXPECT_EQ(joins[0][1].toString(), "::1");
    EXPECT_EQ(joins[0][2].toInt(), 7000);

    address->setText("annspc");
    EXPECT_TRUE(join.joinClick());
    EXPECT_EQ(joins[1][1].toString(), "annspc");
    EXPECT_EQ(joins[1][2].toInt(), 7772);

    hostButton->click();
    ASSERT_EQ(hosts.count(), 1);
    EXPECT_EQ(hosts[0][0].toString(), "Cleo");
}

TEST_F(JoinWindow, BadAddressOrMissingNameIsToldAndNothingStarts) {
    name->setText("Cleo");
    address->setText("10.0.0.300");
    EXPECT_FALSE(join.joinClick());
    EXPECT_TRUE(join.errorText().contains("IPv4"));
    address->setText("annspc:99999");
    EXPECT_FALSE(join.joinClick());
    EXPECT_TRUE(join.errorText().contains("port"));
    address->setText("");
    EXPECT_FALSE(join.joinClick());

    name->setText("   ");
    address->setText("annspc");
    EXPECT_FALSE(join.joinClick());
    EXPECT_FALSE(join.hostClick());
    EXPECT_TRUE(join.errorText().contains("name"));
    EXPECT_EQ(joins.count(), 0);
    EXPECT_EQ(hosts.count(), 0);

    // Names longer than the login takes are cut as they are typed.
    join.setPlayerName(QString(40, 'x'));
    EXPECT_EQ(join.playerName().size(), 24);
}

// 1,006 announced services fed one by one, as the browser does: the list never holds
// more than the cap, and rows already shown are changed in place, never rebuilt.
TEST_F(JoinWindow, AThousandServicesListOnlyTheCapAndRowsStayInPlace) {
    quorbit::discovery::GameListing listing;
    join.setGames({});
    QSignalSpy removed(list->model(), &QAbstractItemModel::rowsRemoved);
    QSignalSpy inserted(list->model(), &QAbstractItemModel::rowsInserted);
    QTreeWidgetItem* first = nullptr;
    int updates = 0;
    for (int i = 0; i < 1006; ++i) {
        const std::string name = "Game " + std::to_string(1000 + i);
        const std::string address = "10.2." + std::to_string(i / 250) + "." + std::to_string(i % 250 + 1);
        FoundGame g = game(name.c_str(), address.c_str(), 7772, 1, false);
        g.host = "h" + std::to_string(i) + ".local";
        if (!listing.resolved({2, 0, name, "local"}, true, g).changed) continue;
        join.setGames(listing.games());
        ++updates;
        if (!first) first = list->topLevelItem(0);
        ASSERT_EQ(list->topLevelItem(0), first);
    }
    EXPECT_EQ(updates, static_cast<int>(quorbit::discovery::kMaxListedGames));
    EXPECT_EQ(list->topLevelItemCount(), static_cast<int>(quorbit::discovery::kMaxListedGames));
    EXPECT_EQ(inserted.count(), static_cast<int>(quorbit::discovery::kMaxListedGames));
    EXPECT_EQ(removed.count(), 0);
    // A change to one game changes its row only.
    list->setCurrentItem(list->topLevelItem(3));
    FoundGame busy = game("Game 1003", "10.2.0.4", 7772, 4, true);
    busy.host = "h3.local";
    ASSERT_TRUE(listing.resolved({2, 0, "Game 1003", "local"}, true, busy).changed);
    join.setGames(listing.games());
    EXPECT_EQ(list->topLevelItem(0), first);
    EXPECT_EQ(list->currentItem()->text(1), "4 of 4");
    EXPECT_EQ(removed.count(), 0);
    EXPECT_EQ(inserted.count(), static_cast<int>(quorbit::discovery::kMaxListedGames));
    // Games gone leave their rows; a game before the others gets a row of its own.
    join.setGames({game("Aaa", "10.0.0.1", 7772, 1, false), listing.games()[3]});
    ASSERT_EQ(list->topLevelItemCount(), 2);
    EXPECT_EQ(list->topLevelItem(0)->text(0), "Aaa");
    EXPECT_EQ(list->currentItem()->text(0), "Game 1003");
}

// Without a reachable Avahi daemon (the tests run with no system bus) the window says
// that games cannot be found and why, not "none found yet"; a found game replaces the note.
TEST_F(JoinWindow, SaysWhyGamesCannotBeFound) {
    quorbit::discovery::GameBrowser browser;
    join.attachBrowser(&browser);
    const auto* found = join.findChild<QLabel*>("label_found");
    ASSERT_TRUE(found);
    EXPECT_FALSE(browser.unavailable().empty());
    EXPECT_TRUE(found->text().startsWith("Games on this network cannot be found: ")) << qPrintable(found->text());
    EXPECT_TRUE(found->text().contains(QString::fromStdString(browser.unavailable())));
    join.attachBrowser(nullptr);
    join.setSearchProblem({});
    EXPECT_EQ(found->text(), "Games on this network: none found yet.");
    join.setSearchProblem("no Avahi daemon is running on this computer");
    join.setGames({game("Ann's game", "10.0.0.5", 7772, 2, false)});
    EXPECT_EQ(found->text(), "Games on this network:");
}

namespace {

// A server on loopback that answers each connection with `answer` once it has read a line.
struct FakeServer {
    QTcpServer server;
    QByteArray answer;
    bool answerAtOnce = false;  // a server that predates tables speaks first
    explicit FakeServer(QByteArray a, bool atOnce = false) : answer(std::move(a)), answerAtOnce(atOnce) {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, &server, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            if (answerAtOnce) s->write(answer);
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                if (!answerAtOnce && s->readAll().contains('\xff')) s->write(answer);
            });
        });
    }
    QString address() const { return QString("127.0.0.1:%1").arg(server.serverPort()); }
};

QByteArray framed(const std::string& line) { return QByteArray::fromStdString(line) + '\xff'; }

// A loopback port nothing listens on.
int closedPort() {
    QTcpServer s;
    s.listen(QHostAddress::LocalHost, 0);
    return s.serverPort();
}

}  // namespace

TEST_F(JoinWindow, AServersTablesAreListedAndAPickedTableFillsTheField) {
    namespace tables = quorbit::protocol::tables;
    FakeServer tableServer(framed(tables::Tableinfo{"", 1, 0, false, 0, 0, false, "classic"}.format()) +
                           framed(tables::Tableinfo{"Friday", 3, 2, true, 300, 60, false, "strong"}.format()) +
                           framed(tables::Tablesend{2}.format()));
    auto* tableList = join.findChild<QTreeWidget*>("list_tables");
    auto* table = join.findChild<QLineEdit*>("edit_table");
    auto* note = join.findChild<QLabel*>("label_tables");
    ASSERT_TRUE(tableList && table && note);

    // A found game that announces tables is asked for them when chosen.
    FoundGame g = game("Club", "127.0.0.1", tableServer.server.serverPort(), 3, true);
    g.txt.tables = 2;
    join.setGames({g});
    list->setCurrentItem(list->topLevelItem(0));
    ASSERT_TRUE(QTest::qWaitFor([&] { return tableList->topLevelItemCount() == 2; }, 5000)) << note->text().toStdString();
    EXPECT_EQ(tableList->topLevelItem(0)->text(0), "(default table)");
    EXPECT_EQ(tableList->topLevelItem(1)->text(0), "Friday");
    EXPECT_EQ(tableList->topLevelItem(1)->text(1), "3 of 4");
    EXPECT_EQ(tableList->topLevelItem(1)->text(3), "yes");
    tableList->setCurrentItem(tableList->topLevelItem(1));
    EXPECT_EQ(table->text(), "Friday");
    name->setText("Cleo");
    ASSERT_TRUE(join.joinClick());
    EXPECT_EQ(joins.back()[3].toString(), "Friday");
    tableList->setCurrentItem(tableList->topLevelItem(0));
    EXPECT_EQ(table->text(), "");

    // A server that seats everyone at once has one table; one that cannot be reached says so.
    FakeServer oneTable(framed(quorbit::protocol::toclient::sendlogininfo(1)), true);
    address->setText(oneTable.address());
    ASSERT_TRUE(join.listTablesClick());
    EXPECT_TRUE(QTest::qWaitFor([&] { return note->text().contains("one table only"); }, 5000)) << note->text().toStdString();
    EXPECT_TRUE(tableList->isHidden());
    address->setText(QString("127.0.0.1:%1").arg(closedPort()));
    ASSERT_TRUE(join.listTablesClick());
    EXPECT_TRUE(QTest::qWaitFor([&] { return note->text().startsWith("Cannot reach"); }, 5000)) << note->text().toStdString();
    address->setText("host:99999");
    EXPECT_FALSE(join.listTablesClick());
}
