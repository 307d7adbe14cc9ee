// Accounts through a real host: a real SQLite store, connections over loopback in TLS
// (the host given a certificate made here) and in plain text, the password hashed away
// from the event loop.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>
#include <string>

#include "app/net/loopback.h"
#include "app/net/serverdialer.h"
#include "app/net/tls.h"
#include "app/net/tsock.h"
#include "app/server/serverhost.h"
#include "app/store/store.h"
#include "protocol/account_messages.h"
#include "protocol/framing.h"
#include "protocol/lobby_messages.h"
#include "testkit/tls_table_server.h"

namespace quorbit::serverhost {
namespace {

using net::testing::waitUntil;
namespace acc = protocol::accounts;

// One client connection opened by the program's own dialer: in TLS, or in plain text.
class Peer {
public:
    bool open(int port, bool tls) {
        dialer_.setSettingsPath({});  // no fingerprints kept: the certificate is taken as it comes
        dialer_.onReady = [this](std::unique_ptr<net::TSock> s) {
            sock_ = std::move(s);
            sock_->OnRead = [this](net::TSock& t, int) { heard_ += t.Text(); };
            if (sock_->ReceiveBufferSize() > 0) heard_ += sock_->Text();
        };
        dialer_.onFailed = [this](const std::string& why, bool) { failure_ = why; };
        dialer_.dial("127.0.0.1", port, tls);
        EXPECT_TRUE(waitUntil([&] { return sock_ || !failure_.empty(); }, 10000)) << "no answer from the server";
        EXPECT_TRUE(sock_) << failure_;
        return sock_ && sock_->Encrypted() == tls;
    }
    // Sends `line` and returns the next line heard, framed; empty when none came.
    std::string ask(const std::string& line) {
        if (!sock_) return {};
        sock_->Send(protocol::frame(line));
        std::string got;
        (void)waitUntil([&] {
            const std::size_t end = heard_.find(protocol::kTerminator);
            if (end == std::string::npos) return false;
            got = heard_.substr(0, end + 1);
            heard_.erase(0, end + 1);
            return true;
        }, 20000);
        return got;
    }
    void close() {
        if (sock_ && sock_->Handle() >= 0) sock_->Close();
        sock_.reset();
    }

private:
    net::ServerDialer dialer_;
    std::unique_ptr<net::TSock> sock_;
    std::string heard_;
    std::string failure_;
};

class AccountsHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(store_.open(store::parseDatabaseTarget(folder_.filePath("store.sqlite"))))
            << store_.error().toStdString();
        ServerHost::Options o = testsupport::tlsTableServerOptions();
        ASSERT_TRUE(o.tls);
        o.dictionaryFolder = folder_.path().toStdString();
        o.seed = 7;
        host_ = std::make_unique<ServerHost>(o);
        host_->keepAccounts(store_);
        port_ = net::testing::deadPort();
        ASSERT_TRUE(host_->listen(port_)) << host_->errorText();
    }
    // A connection that spoke TLS (`tls`) or plain text from its first byte.
    std::unique_ptr<Peer> connect(bool tls) {
        auto p = std::make_unique<Peer>();
        EXPECT_TRUE(p->open(port_, tls));
        return p;
    }

    QTemporaryDir folder_;
    store::Store store_;
    std::unique_ptr<ServerHost> host_;
    int port_ = 0;
};

TEST_F(AccountsHostTest, RegisterThenLogInElsewhereAndAGuestIsRefusedTheName) {
    auto first = connect(true);
    const std::string registered = first->ask(acc::Register{"Ann", "correct horse"}.format());
    ASSERT_EQ(registered.rfind("CMD_loggedin+Ann+", 0), 0u) << registered;
    const std::string token = registered.substr(17, acc::kTokenChars);
    EXPECT_TRUE(acc::tokenShaped(token));
    EXPECT_TRUE(store_.hasAccount("ann"));

    auto second = connect(true);
    const std::string wrong = acc::Accountrefused{"Wrong name or password."}.format();
    EXPECT_EQ(second->ask(acc::Login{"ANN", "wrong horse"}.format()), protocol::frame(wrong));
    const std::string login = second->ask(acc::Login{"ANN", "correct horse"}.format());
    EXPECT_EQ(login.rfind("CMD_loggedin+Ann+", 0), 0u) << login;
    EXPECT_NE(login.substr(17, acc::kTokenChars), token);

    // The session token logs a third connection in without the password.
    auto third = connect(true);
    EXPECT_EQ(third->ask(acc::Resume{token}.format()), protocol::frame(acc::Loggedin{"Ann", token}.format()));

    // The owner keeps the name in the lobby; the other two go (three connections from one
    // address that sit nowhere are as many as it may hold).
    EXPECT_EQ(first->ask(protocol::lobby::Lobby{"Ann"}.format()),
              protocol::frame(protocol::lobby::Lobbyname{"Ann"}.format()));
    second->close();
    third->close();
    ASSERT_TRUE(waitUntil([&] { return host_->connectionCount() == 1; }));

    // A guest on a plain connection: no password is heard, and the name is made unique.
    auto guest = connect(false);
    const std::string plain = acc::Accountrefused{"Passwords travel only over an encrypted connection."}.format();
    EXPECT_EQ(guest->ask(acc::Login{"Ann", "correct horse"}.format()), protocol::frame(plain));
    EXPECT_EQ(guest->ask(protocol::lobby::Lobby{"Ann"}.format()),
              protocol::frame(protocol::lobby::Lobbyname{"Ann (2)"}.format()));
}

}  // namespace
}  // namespace quorbit::serverhost
