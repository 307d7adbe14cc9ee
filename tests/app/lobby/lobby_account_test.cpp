// The lobby window's account and ratings against a stand-in server on loopback: logging
// in goes before entering the lobby, which is entered under the account's name; the
// account is remembered (never its password) and its token goes to the games; a person's
// rating shows in the online list; accounts are not offered over a plain connection.
#include <QAction>
#include <QSignalSpy>
#include <QTableView>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QTest>
#include <QFile>
#include <gtest/gtest.h>
#include <memory>

#include "app/lobby/gamelink.h"
#include "app/lobby/lobbyconnection.h"
#include "app/lobby/lobbywindow.h"
#include "app/net/tls.h"
#include "lobby_options.h"

namespace lobbyaccounttest {
namespace {

using quorbit::lobby::LobbyWindow;

// Accepts connections and reads the latest one's lines. It speaks no TLS: a handshake is
// answered with the alert, as a plain server's is, and the client comes back in plain text.
struct StandIn {
    QTcpServer server;
    QTcpSocket* socket = nullptr;
    QByteArray buffer;
    StandIn() {
        server.listen(QHostAddress::LocalHost, 0);
        QObject::connect(&server, &QTcpServer::newConnection, [this] {
            QTcpSocket* s = server.nextPendingConnection();
            QObject::connect(s, &QTcpSocket::readyRead, s, [this, s] {
                QObject::disconnect(s, &QTcpSocket::readyRead, nullptr, nullptr);
                if (s->peek(1) == QByteArray(1, static_cast<char>(quorbit::net::kTlsHandshakeByte))) {
                    const std::string alert = quorbit::net::tlsHandshakeFailureAlert();
                    s->write(alert.data(), static_cast<qint64>(alert.size()));
                    s->disconnectFromHost();
                    return;
                }
                socket = s;
                buffer.clear();
            });
        });
    }
    // The next line the latest connection sends, without its terminator; empty on none.
    QByteArray next(QTcpSocket* from) {
        QByteArray line;
        (void)QTest::qWaitFor([&] {
            if (socket != from) return true;
            buffer += socket->readAll();
            const qsizetype end = buffer.indexOf('\xff');
            if (end < 0) return false;
            line = buffer.left(end);
            buffer.remove(0, end + 1);
            return true;
        }, 5000);
        return line;
    }
    QTcpSocket* awaitConnection(QTcpSocket* old) {
        (void)QTest::qWaitFor([&] { return socket && socket != old; }, 5000);
        return socket;
    }
    void say(const QByteArray& line) { socket->write(line + '\xff'); }
};

std::unique_ptr<LobbyWindow> lobbyAt(const QTemporaryDir& dir, quint16 port) {
    return std::make_unique<LobbyWindow>(quorbit::lobbytest::testLobbyOptions(dir, port));
}

}  // namespace

TEST(LobbyAccount, LoggingInGoesBeforeTheLobbyAndTheRatingShows) {
    QTemporaryDir dir;
    StandIn standIn;
    auto w = lobbyAt(dir, standIn.server.serverPort());
    w->connection().assumeEncryptedForTests(true);
    QTcpSocket* first = standIn.awaitConnection(nullptr);
    ASSERT_NE(first, nullptr);
    EXPECT_EQ(standIn.next(first), "CMD_lobby+Guest");
    standIn.say("CMD_lobbyname+Guest+");
    standIn.say("CMD_lobbyready+0+0+");
    auto* login = w->findChild<QAction*>("action_login");
    ASSERT_NE(login, nullptr);
    QTRY_VERIFY(login->isEnabled());

    ASSERT_TRUE(w->logIn("Ann", "secret+12"));
    QTcpSocket* second = standIn.awaitConnection(first);
    ASSERT_NE(second, first);
    EXPECT_EQ(standIn.next(second), "CMD_login+Ann+7365637265742b3132+");
    standIn.say("CMD_loggedin+Ann+TOKENtoken0123456789ABCDEFGHIJKL+");
    EXPECT_EQ(standIn.next(second), "CMD_lobby+Ann");
    standIn.say("CMD_lobbyname+Ann+");
    standIn.say("CMD_person+Ann+lobby++");
    standIn.say("CMD_personrating+Ann+1620+3.5+12+");
    standIn.say("CMD_lobbyready+1+0+");
    QSignalSpy ready(w.get(), &LobbyWindow::lobbyReady);
    ASSERT_TRUE(ready.wait(5000));
    auto* people = w->findChild<QTableView*>("list_people");
    EXPECT_EQ(people->model()->index(0, 2).data().toString(), "1620");
    EXPECT_TRUE(people->model()->index(0, 2).data(Qt::ToolTipRole).toString().contains("Three or more: 3.5"));
    EXPECT_EQ(w->link().session(), "TOKENtoken0123456789ABCDEFGHIJKL");
    EXPECT_TRUE(w->findChild<QAction*>("action_delete")->isEnabled());
    QFile ini(dir.filePath("lobby.ini"));
    ASSERT_TRUE(ini.open(QIODevice::ReadOnly));
    const QByteArray settings = ini.readAll();
    EXPECT_TRUE(settings.contains("Lobbyaccount=Ann"));
    EXPECT_FALSE(settings.contains("secret"));

    // A refused password change is said as the server says it.
    QSignalSpy answered(w.get(), &LobbyWindow::accountAnswered);
    ASSERT_TRUE(w->changePassword("wrong-one", "newsecret"));
    EXPECT_EQ(standIn.next(second), "CMD_newpassword+77726f6e672d6f6e65+6e6577736563726574+");
    standIn.say("CMD_accountrefused+Wrong password.+");
    ASSERT_TRUE(answered.wait(5000));
    EXPECT_EQ(answered.first().first().toString(), "Wrong password.");

    // Logging out is entering again as a guest, and the games get no token.
    w->logOut();
    QTcpSocket* third = standIn.awaitConnection(second);
    EXPECT_EQ(standIn.next(third), "CMD_lobby+Ann");
    EXPECT_TRUE(w->link().session().isEmpty());
}

TEST(LobbyAccount, APlainConnectionIsNotOfferedAccounts) {
    QTemporaryDir dir;
    StandIn standIn;
    auto w = lobbyAt(dir, standIn.server.serverPort());
    QTcpSocket* first = standIn.awaitConnection(nullptr);
    EXPECT_EQ(standIn.next(first), "CMD_lobby+Guest");
    standIn.say("CMD_lobbyready+0+0+");
    QSignalSpy ready(w.get(), &LobbyWindow::lobbyReady);
    ASSERT_TRUE(ready.wait(5000));
    auto* login = w->findChild<QAction*>("action_login");
    EXPECT_FALSE(login->isEnabled());
    EXPECT_TRUE(login->toolTip().contains("not encrypted"));
    EXPECT_FALSE(w->logIn("Ann", "secret+12"));  // nothing is sent, nothing reconnects
    EXPECT_EQ(standIn.socket, first);
}

}  // namespace lobbyaccounttest
