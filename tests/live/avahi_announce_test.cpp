// A hosted game against a real Avahi daemon (tests/live/avahi_netns.sh runs this inside
// a network namespace of its own): `quorbit --server --name "Test game"` appears with its
// records, both to avahi-browse and to the program's own browser, changes when a player
// sits down, can be joined at the address found, and is gone when the server ends.
#include <gtest/gtest.h>

#include <QProcess>
#include <QTcpSocket>
#include <QTest>
#include <cstdlib>
#include <functional>
#include <optional>

#include "app/discovery/browser.h"
#include "app/net/tsock.h"

using quorbit::discovery::FoundGame;
using quorbit::discovery::GameBrowser;

namespace {

constexpr int kPort = 17772;
const QString kName = "Test game";

bool waitFor(const std::function<bool()>& done, int ms = 15000) { return QTest::qWaitFor(done, ms); }

std::optional<FoundGame> found(const GameBrowser& b) {
    for (const FoundGame& g : b.games())
        if (g.name == kName.toStdString()) return g;
    return std::nullopt;
}

// avahi-browse's resolved lines for the game type ("=;interface;protocol;name;...;txt").
QStringList avahiBrowse() {
    QProcess p;
    p.start("avahi-browse", {"--resolve", "--terminate", "--parsable", "--no-db-lookup", "_quorbit._tcp"});
    if (!p.waitForFinished(20000)) {
        p.kill();
        p.waitForFinished();
    }
    QStringList lines;
    for (const QString& line : QString::fromUtf8(p.readAllStandardOutput()).split('\n'))
        if (line.startsWith("=;")) lines << line;
    return lines;
}

bool browseShows(const QString& record) {
    // Within a few tries: the daemon's cache takes a moment to see a change.
    for (int i = 0; i < 10; ++i) {
        for (const QString& line : avahiBrowse())
            if (line.contains("Test\\032game") && line.contains("\"" + record + "\"")) return true;
        QTest::qWait(300);
    }
    return false;
}

bool browseEmpty() {
    for (int i = 0; i < 10; ++i) {
        bool any = false;
        for (const QString& line : avahiBrowse()) any = any || line.contains("Test\\032game");
        if (!any) return true;
        QTest::qWait(300);
    }
    return false;
}

// Reads from `s` until `text` has come (or time runs out).
bool readUntil(QTcpSocket& s, const QByteArray& text, QByteArray& got) {
    return waitFor([&] {
        s.waitForReadyRead(50);
        got += s.readAll();
        return got.contains(text);
    });
}

}  // namespace

TEST(LiveAvahi, ServerIsAnnouncedFollowedAndWithdrawn) {
    if (!std::getenv("QUORBIT_TEST_SYSTEM_BUS"))
        GTEST_SKIP() << "runs only inside the network namespace that tests/live/avahi_netns.sh makes";
    GameBrowser browser;
    QProcess server;
    server.setProcessChannelMode(QProcess::ForwardedChannels);
    server.start(QUORBIT_BINARY, {"--server", "--name", kName, "--port", QString::number(kPort)});
    ASSERT_TRUE(server.waitForStarted());

    // Announced, with its records.
    ASSERT_TRUE(waitFor([&] { return found(browser).has_value(); })) << "the program's browser never saw the game";
    FoundGame g = *found(browser);
    EXPECT_EQ(g.port, kPort);
    EXPECT_EQ(g.txt.version, "1.0.10");
    EXPECT_EQ(g.txt.players, 0);
    EXPECT_EQ(g.txt.running, false);
    EXPECT_EQ(g.txt.teamGame, false);
    EXPECT_TRUE(browseShows("players=0"));
    EXPECT_TRUE(browseShows("version=1.0.10"));
    EXPECT_TRUE(browseShows("running=no"));

    // A player sits down at the address that was found.
    QTcpSocket player;
    player.connectToHost(QString::fromStdString(g.address), static_cast<quint16>(g.port));
    ASSERT_TRUE(player.waitForConnected(5000)) << "could not join at " << g.address;
    QByteArray got;
    ASSERT_TRUE(readUntil(player, "CMD_sendlogininfo+1", got));
    player.write(QByteArray("CMD_logininfo+1+1.0.10+Bob") + '\xff');
    ASSERT_TRUE(player.waitForBytesWritten(5000));
    ASSERT_TRUE(readUntil(player, "CMD_newplayerinfo+1+Bob", got));
    EXPECT_TRUE(waitFor([&] { return found(browser) && found(browser)->txt.players == 1; }))
        << "the program's browser never saw the seated player";
    EXPECT_TRUE(browseShows("players=1"));

    // The player leaves: the count goes back.
    player.disconnectFromHost();
    EXPECT_TRUE(waitFor([&] { return found(browser) && found(browser)->txt.players == 0; }));

    // The server ends: the game is withdrawn.
    server.terminate();
    ASSERT_TRUE(server.waitForFinished(10000));
    EXPECT_EQ(server.exitStatus(), QProcess::NormalExit);
    EXPECT_TRUE(waitFor([&] { return !found(browser).has_value(); })) << "the game stayed listed after the server ended";
    EXPECT_TRUE(browseEmpty());
}

TEST(LiveAvahi, NoAnnounceKeepsTheGameOffTheNetwork) {
    if (!std::getenv("QUORBIT_TEST_SYSTEM_BUS"))
        GTEST_SKIP() << "runs only inside the network namespace that tests/live/avahi_netns.sh makes";
    GameBrowser browser;
    QProcess server;
    server.start(QUORBIT_BINARY, {"--server", "--name", kName, "--port", QString::number(kPort + 1), "--no-announce"});
    ASSERT_TRUE(server.waitForStarted());
    QTcpSocket probe;
    ASSERT_TRUE(waitFor([&] {
        probe.abort();
        probe.connectToHost("127.0.0.1", kPort + 1);
        return probe.waitForConnected(200);
    }));
    QTest::qWait(1500);
    EXPECT_FALSE(found(browser).has_value());
    server.terminate();
    server.waitForFinished(10000);
}
