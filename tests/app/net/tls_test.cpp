// TLS between the program's connections and the server host, on loopback: the handshake
// and lines both ways, plain clients on the same port, trust on first use, the alert of
// a server that speaks no TLS, and the certificate a server makes once.
#include <gtest/gtest.h>
#include <sys/stat.h>
#include <unistd.h>

#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <memory>
#include <string>

#include "app/net/loopback.h"
#include "app/net/serverdialer.h"
#include "app/net/tls.h"
#include "app/net/tsock.h"
#include "app/server/serverhost.h"
#include "app/server/servertls.h"
#include "client/trust.h"
#include "protocol/framing.h"
#include "protocol/lobby_messages.h"
#include "protocol/names.h"
#include "testkit/wire_client.h"

namespace quorbit::net {
namespace {

using testing::waitUntil;

std::shared_ptr<const TlsIdentity> makeIdentity() {
    const PemPair pem = makeSelfSigned("localhost");
    std::string error;
    auto id = TlsIdentity::fromPem(pem.cert, pem.key, error);
    EXPECT_TRUE(id) << error;
    return id;
}

// A server host on a loopback port: a table server with `tls`, else a window's host mode.
struct Server {
    QTemporaryDir words;
    std::unique_ptr<serverhost::ServerHost> host;
    Server(int port, std::shared_ptr<const TlsIdentity> tls, bool tables = true) {
        serverhost::ServerHost::Options o;
        o.dictionaryFolder = words.path().toStdString();
        o.tables = tables;
        o.tls = std::move(tls);
        o.log = [](std::string_view) {};
        host = std::make_unique<serverhost::ServerHost>(o);
        EXPECT_TRUE(host->listen(port)) << host->errorText();
    }
};

// One dial and what came of it.
struct Dial {
    ServerDialer dialer;
    std::unique_ptr<TSock> sock;
    std::string failure;
    bool refused = false;
    std::string heard;
    Dial(const QString& settings, int port) {
        dialer.setSettingsPath(settings);
        dialer.onReady = [this](std::unique_ptr<TSock> s) {
            sock = std::move(s);
            sock->OnRead = [this](TSock& t, int) { heard += t.Text(); };
        };
        dialer.onFailed = [this](const std::string& why, bool r) {
            failure = why;
            refused = r;
        };
        dialer.dial("127.0.0.1", port);
    }
    bool done(int ms = 6000) { return waitUntil([&] { return sock || !failure.empty(); }, ms); }
};

std::string lobbyLine(const std::string& name) { return protocol::frame(protocol::lobby::Lobby{name}.format()); }

class Tls : public ::testing::Test {
protected:
    QTemporaryDir dir;
    QString settings() const { return dir.filePath("orvanelobby.ini"); }
    std::string key(int port) const { return client::trustKey("127.0.0.1", port); }
};

TEST_F(Tls, AHandshakeCarriesLinesBothWaysAndPlainClientsStillPlayOnThePort) {
    const int port = testing::deadPort();
    const auto identity = makeIdentity();
    Server server(port, identity);

    Dial ann(settings(), port);
    ASSERT_TRUE(ann.done()) << ann.failure;
    ASSERT_TRUE(ann.sock->Encrypted());
    EXPECT_EQ(ann.sock->Tls()->peerFingerprint(), identity->fingerprint());
    ann.sock->Send(lobbyLine("Ann"));
    ASSERT_TRUE(waitUntil([&] { return ann.heard.find(protocol::names::lobbyready) != std::string::npos; }));

    // A plain client on the same port, at the same time.
    e2e::WireClient bob;
    ASSERT_TRUE(bob.connect(port));
    ASSERT_TRUE(bob.send(protocol::lobby::Lobby{"Bob"}.format()));
    bool bobIn = false;
    ASSERT_TRUE(waitUntil([&] {
        if (const auto line = bob.next(std::chrono::milliseconds(5)))
            bobIn = bobIn || line->rfind(protocol::names::lobbyready, 0) == 0;
        return bobIn;
    }));
    // Bob's arrival reaches Ann through TLS.
    EXPECT_TRUE(waitUntil([&] { return ann.heard.find("Bob") != std::string::npos; }));

    // A handshake of garbage is one more departure; the server goes on serving.
    testing::RawPeer junk;
    ASSERT_TRUE(junk.connect(port));
    ASSERT_TRUE(junk.send(std::string("\x16\x03\x01\x00\x05garbage-and-more", 22)));
    EXPECT_TRUE(junk.closedByPeer());
    Dial again(settings(), port);
    ASSERT_TRUE(again.done()) << again.failure;
    EXPECT_TRUE(again.sock->Encrypted());
}

TEST_F(Tls, TheFirstCertificateIsKeptAndAChangedOneOrPlainTextFromThatServerIsRefused) {
    const int port = testing::deadPort();
    const auto first = makeIdentity();
    const std::string refusal = client::certificateChangedText(key(port), settings().toStdString());
    {
        Server server(port, first);
        Dial d(settings(), port);
        ASSERT_TRUE(d.done()) << d.failure;
        ASSERT_TRUE(d.sock->Encrypted());
    }
    QFile f(settings());
    ASSERT_TRUE(f.open(QIODevice::ReadOnly));
    EXPECT_TRUE(f.readAll().contains(QByteArray::fromStdString("[tls]\n" + key(port) + "=" + first->fingerprint())));
    {
        Server server(port, makeIdentity());  // another certificate at the same address
        Dial d(settings(), port);
        ASSERT_TRUE(d.done());
        EXPECT_FALSE(d.sock);
        EXPECT_TRUE(d.refused);
        EXPECT_EQ(d.failure, refusal);
    }
    {
        Server server(port, nullptr);  // the same address in plain text only
        Dial d(settings(), port);
        ASSERT_TRUE(d.done());
        EXPECT_FALSE(d.sock);
        EXPECT_EQ(d.failure, refusal);
    }
}

TEST_F(Tls, AHostModeServerAnswersWithAnAlertAndTheClientFallsBackAtOnce) {
    const int port = testing::deadPort();
    Server server(port, nullptr, false);
    QElapsedTimer clock;
    clock.start();
    Dial d(settings(), port);
    // Well before the wait for a silent server would run out.
    ASSERT_TRUE(d.done(ServerDialer::kTlsAnswerMs - 1000)) << d.failure;
    EXPECT_FALSE(d.sock->Encrypted());
    EXPECT_TRUE(waitUntil([&] { return d.heard.find(protocol::names::sendlogininfo) != std::string::npos; }));
    EXPECT_FALSE(QFile::exists(settings()));  // nothing kept for a plain server

    // The alert itself, as a raw client sees it.
    testing::RawPeer raw;
    ASSERT_TRUE(raw.connect(port));
    ASSERT_TRUE(raw.send(std::string("\x16\x03\x01\x00\x01\x01", 6)));
    const std::string got = raw.receive(1 << 16, 2000);
    EXPECT_NE(got.find(tlsHandshakeFailureAlert()), std::string::npos);
    EXPECT_TRUE(raw.closedByPeer());

    // Nobody there: no fallback, the failure in the socket's words and the system's.
    Dial nobody(settings(), testing::deadPort());
    ASSERT_TRUE(nobody.done());
    EXPECT_FALSE(nobody.refused);
    EXPECT_EQ(nobody.failure, "Error #10061 (WSAECONNREFUSED)");
    EXPECT_EQ(ServerDialer::readable(nobody.failure), "Connection refused");
}

TEST_F(Tls, AServersOwnCertificateIsMadeOnceAndBadFilesAreRefused) {
    std::string error;
    const auto made = serverhost::keptServerIdentity(dir.path(), "example.org", error);
    ASSERT_TRUE(made) << error;
    const auto again = serverhost::keptServerIdentity(dir.path(), "example.org", error);
    ASSERT_TRUE(again) << error;
    EXPECT_EQ(made->fingerprint(), again->fingerprint());
    struct stat st {};
    ASSERT_EQ(::stat(QFile::encodeName(dir.filePath(serverhost::kKeptKeyFile)).constData(), &st), 0);
    EXPECT_EQ(st.st_mode & 0777, 0600u);

    // Another certificate's key, and a file that is no certificate.
    QFile other(dir.filePath("other-key.pem"));
    ASSERT_TRUE(other.open(QIODevice::WriteOnly));
    other.write(QByteArray::fromStdString(makeSelfSigned("x").key));
    other.close();
    EXPECT_FALSE(serverhost::loadServerIdentity(dir.filePath(serverhost::kKeptCertFile), other.fileName(), error));
    EXPECT_NE(error.find("does not belong"), std::string::npos) << error;
    EXPECT_FALSE(serverhost::loadServerIdentity(other.fileName(), other.fileName(), error));
    EXPECT_FALSE(serverhost::loadServerIdentity(dir.filePath("missing.pem"), other.fileName(), error));
}

// The program as a table server given its certificate on the command line.
TEST_F(Tls, TheServerProgramGivenACertificateShakesHands) {
    const PemPair pem = makeSelfSigned("localhost");
    for (const auto& [name, text] : {std::pair{"cert.pem", pem.cert}, std::pair{"key.pem", pem.key}}) {
        QFile f(dir.filePath(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(QByteArray::fromStdString(text));
    }
    std::string error;
    const auto identity = TlsIdentity::fromPem(pem.cert, pem.key, error);
    const int port = e2e::freePort();
    const std::string data = dir.path().toStdString();
    e2e::Process server(QUORBIT_BINARY,
                        {"--server", "--no-announce", "--port", std::to_string(port), "--tls-cert",
                         dir.filePath("cert.pem").toStdString(), "--tls-key", dir.filePath("key.pem").toStdString()},
                        {"QUORBIT_DATA_DIR=" + data});
    const int probe = e2e::connectLoopback(port, std::chrono::seconds(20));
    ASSERT_GE(probe, 0);
    ::close(probe);
    Dial d(settings(), port);
    ASSERT_TRUE(d.done()) << d.failure;
    ASSERT_TRUE(d.sock->Encrypted());
    EXPECT_EQ(d.sock->Tls()->peerFingerprint(), identity->fingerprint());
    d.sock->Send(lobbyLine("Ann"));
    EXPECT_TRUE(waitUntil([&] { return d.heard.find(protocol::names::lobbyready) != std::string::npos; }));

    // A key that is not the certificate's ends the program with 1 at once.
    e2e::Process bad(QUORBIT_BINARY,
                     {"--server", "--no-announce", "--port", std::to_string(e2e::freePort()), "--tls-cert",
                      dir.filePath("cert.pem").toStdString(), "--tls-key", dir.filePath("cert.pem").toStdString()},
                     {"QUORBIT_DATA_DIR=" + data});
    EXPECT_EQ(bad.stop(0, std::chrono::seconds(20)), 1);
}

}  // namespace
}  // namespace quorbit::net
