// The lobby run as its own program, told to start a game at once (--start): it starts the
// game with the three parameters and sees the game's link come and go.
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QTcpServer>
#include <QTemporaryDir>
#include <QTest>
#include <csignal>
#include <gtest/gtest.h>

#include "app/media/qt_print.h"

namespace {

QString lobbyProgram() { return QFileInfo(QUORBIT_BINARY).dir().filePath("orvanelobby"); }

quint16 freePort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    return probe.serverPort();
}

// A stand-in game: records its parameters one per line, then holds a connection to the
// lobby's link port for `seconds` and ends.
QString writeGame(const QTemporaryDir& dir, quint16 port, double seconds) {
    const QString path = dir.filePath("game.sh");
    QFile f(path);
    f.open(QIODevice::WriteOnly);
    f.write(QString("#!/bin/bash\n"
                    "printf '%s\\n' \"$@\" > '%1'\n"
                    "exec 3<>/dev/tcp/127.0.0.1/%2 || exit 1\n"
                    "sleep %3\n"
                    "exec 3>&-\n")
                .arg(dir.filePath("params.txt"))
                .arg(port)
                .arg(seconds)
                .toUtf8());
    f.close();
    f.setPermissions(f.permissions() | QFile::ExeOwner);
    return path;
}

struct Lobby {
    QProcess process;
    QByteArray out;
    explicit Lobby(const QStringList& args) {
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        process.setProcessEnvironment(env);
        process.start(lobbyProgram(), args);
    }
    ~Lobby() {
        process.kill();
        process.waitForFinished(3000);
    }
    // Waits for a line of output that starts with `prefix`; returns it, or empty.
    QString waitFor(const QString& prefix, int ms = 10000) {
        QString found;
        const bool seen = QTest::qWaitFor(
            [&] {
                out += process.readAllStandardOutput();
                for (const QByteArray& line : out.split('\n'))
                    if (line.startsWith(prefix.toUtf8())) found = QString::fromUtf8(line);
                return !found.isEmpty() || process.state() == QProcess::NotRunning;
            },
            ms);
        return seen ? found : QString();
    }
};

QStringList readLines(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly)) return {};
    return QString::fromUtf8(f.readAll()).split('\n', Qt::SkipEmptyParts);
}

}  // namespace

TEST(LobbyProgram, HostingStartsTheGameWithTheThreeParametersAndSeesItsLink) {
    ASSERT_TRUE(QFileInfo(lobbyProgram()).isExecutable()) << lobbyProgram().toStdString();
    QTemporaryDir dir;
    const quint16 port = freePort();
    Lobby lobby({"--game", writeGame(dir, port, 1.0), "--link-port", QString::number(port), "--player", "Ann Lee",
                 "--host", "10.0.0.5", "--mode", "host", "--start"});
    EXPECT_EQ(lobby.waitFor("link: listening"), QString("link: listening on 127.0.0.1 port %1").arg(port));
    EXPECT_EQ(lobby.waitFor("started:"), "started: Ann Lee | 10.0.0.5 | true");
    EXPECT_EQ(lobby.waitFor("link: connected"), "link: connected 1");
    EXPECT_EQ(readLines(dir.filePath("params.txt")), (QStringList{"Ann Lee", "10.0.0.5", "true"}));
    EXPECT_EQ(lobby.waitFor("link: closed"), "link: closed 0");  // the game ended
}

TEST(LobbyProgram, JoiningPassesFalseAsTheThirdParameter) {
    QTemporaryDir dir;
    const quint16 port = freePort();
    Lobby lobby({"--game", writeGame(dir, port, 0.2), "--link-port", QString::number(port), "--player", "Bo",
                 "--host", "192.168.1.20", "--mode", "join", "--start"});
    EXPECT_EQ(lobby.waitFor("started:"), "started: Bo | 192.168.1.20 | false");
    EXPECT_EQ(lobby.waitFor("link: connected"), "link: connected 1");
    EXPECT_EQ(readLines(dir.filePath("params.txt")), (QStringList{"Bo", "192.168.1.20", "false"}));
}

TEST(LobbyProgram, MissingFieldsStartNothing) {
    QTemporaryDir dir;
    const quint16 port = freePort();
    const QString game = writeGame(dir, port, 0.1);
    {
        Lobby lobby({"--game", game, "--link-port", QString::number(port), "--start"});
        EXPECT_EQ(lobby.waitFor("refused:"), "refused: Please enter your name.");
    }
    {
        Lobby lobby({"--game", game, "--link-port", QString::number(port), "--player", "Ann", "--host", "",
                     "--mode", "join", "--start"});
        EXPECT_EQ(lobby.waitFor("refused:"), "refused: Please enter the host address.");
    }
    {
        // The game takes the name as its first word: one that reads as an option is refused.
        Lobby lobby({"--game", game, "--link-port", QString::number(port), "--player", "-h", "--start"});
        EXPECT_EQ(lobby.waitFor("refused:"), "refused: A name cannot begin with \"-\".");
    }
    {
        Lobby lobby({"--game", dir.filePath("no-such-game"), "--link-port", QString::number(port), "--player", "Ann",
                     "--start"});
        EXPECT_TRUE(lobby.waitFor("refused:").startsWith("refused: The game is not at "));
    }
    EXPECT_FALSE(QFile::exists(dir.filePath("params.txt")));
}

TEST(LobbyProgram, ABusyLinkPortIsReportedAndTheLobbyStillStartsGames) {
    QTemporaryDir dir;
    QTcpServer taken;
    ASSERT_TRUE(taken.listen(QHostAddress::LocalHost, 0));
    Lobby lobby({"--game", writeGame(dir, taken.serverPort(), 0.1), "--link-port", QString::number(taken.serverPort()),
                 "--player", "Ann", "--start"});
    EXPECT_EQ(lobby.waitFor("link: port"), QString("link: port %1 is in use").arg(taken.serverPort()));
    EXPECT_EQ(lobby.waitFor("started:"), "started: Ann | 127.0.0.1 | true");
}

TEST(LobbyProgram, BadOptionsEndWithUsage) {
    for (const QStringList& args : {QStringList{"--mode", "watch"}, QStringList{"--link-port", "70000"},
                                    QStringList{"--player"}, QStringList{"--frobnicate"}}) {
        QProcess p;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.insert("QT_QPA_PLATFORM", "offscreen");
        p.setProcessEnvironment(env);
        p.start(lobbyProgram(), args);
        ASSERT_TRUE(p.waitForFinished(10000)) << args.join(' ').toStdString();
        EXPECT_EQ(p.exitCode(), 2) << args.join(' ').toStdString();
        EXPECT_TRUE(p.readAllStandardError().contains("usage:"));
    }
}

// The real game, hosting from the lobby: it opens its link to the lobby on 127.0.0.1
// port 9001, and the lobby sees it close when the game ends. Both ports are fixed by the
// game (9001 for the link, 7772 for hosting), so the test stands aside when either is
// taken on this machine.
TEST(LobbyProgram, TheRealGameHostedFromTheLobbyHoldsItsLinkUntilItEnds) {
    for (quint16 port : {quint16(9001), quint16(7772)}) {
        QTcpServer probe;
        if (!probe.listen(QHostAddress::LocalHost, port)) GTEST_SKIP() << "port " << port << " is in use here";
    }
    QTemporaryDir dir;
    QProcess lobby;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("QUORBIT_DATA_DIR", dir.path());  // the game's settings and tally go here
    lobby.setProcessEnvironment(env);
    lobby.setWorkingDirectory(dir.path());         // and its word file
    lobby.start(lobbyProgram(), {"--game", QUORBIT_BINARY, "--player", "Ann", "--host", "10.0.0.5", "--start"});
    QByteArray out;
    auto waitLine = [&](const QByteArray& prefix) {
        QByteArray found;
        const bool seen = QTest::qWaitFor(
            [&] {
                out += lobby.readAllStandardOutput();
                for (const QByteArray& line : out.split('\n'))
                    if (line.startsWith(prefix)) found = line;
                return !found.isEmpty();
            },
            20000);
        return seen ? QString::fromUtf8(found) : QString();
    };
    if (waitLine("link: ").contains("in use")) {  // taken since the probe above
        lobby.kill();
        lobby.waitForFinished(3000);
        GTEST_SKIP() << "port 9001 was taken meanwhile";
    }
    EXPECT_EQ(waitLine("started:"), "started: Ann | 10.0.0.5 | true");
    const qint64 game = waitLine("game process:").section(' ', 2).toLongLong();
    ASSERT_GT(game, 0);
    EXPECT_EQ(waitLine("link: connected"), "link: connected 1");
    ::kill(static_cast<pid_t>(game), SIGTERM);
    EXPECT_EQ(waitLine("link: closed"), "link: closed 0");
    ::kill(static_cast<pid_t>(game), SIGKILL);
    lobby.kill();
    lobby.waitForFinished(3000);
}
