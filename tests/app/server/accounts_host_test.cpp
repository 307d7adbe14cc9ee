// Accounts through a real host: a real SQLite store, connections over loopback, the
// password hashed away from the event loop.
#include <gtest/gtest.h>

#include <QTemporaryDir>

#include <memory>
#include <string>

#include "app/net/loopback.h"
#include "app/server/serverhost.h"
#include "app/store/store.h"
#include "protocol/account_messages.h"
#include "protocol/framing.h"
#include "protocol/lobby_messages.h"

namespace quorbit::serverhost {
namespace {

using net::testing::RawPeer;
using net::testing::waitUntil;
namespace acc = protocol::accounts;

class AccountsHostTest : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(folder_.isValid());
        ASSERT_TRUE(store_.open(store::parseDatabaseTarget(folder_.filePath("store.sqlite"))))
            << store_.error().toStdString();
        ServerHost::Options o;
        o.dictionaryFolder = folder_.path().toStdString();
        o.seed = 7;
        o.tables = true;
        o.log = [](std::string_view) {};
        host_ = std::make_unique<ServerHost>(o);
        host_->keepAccounts(store_);
        port_ = net::testing::deadPort();
        ASSERT_TRUE(host_->listen(port_)) << host_->errorText();
    }
    // Connects as the host's connection `id` (they are numbered as they come), the host
    // then holding `open` connections, over TLS as far as the server knows when `tls`.
    RawPeer connect(server::ConnectionId id, std::size_t open, bool tls) {
        RawPeer p;
        EXPECT_TRUE(p.connect(port_));
        EXPECT_TRUE(waitUntil([&] { return host_->connectionCount() == open; }));
        if (tls) host_->markEncrypted(id);
        return p;
    }
    // Sends `line` and reads the first `answerSize` bytes of the answer and its terminator.
    static std::string ask(RawPeer& p, const std::string& line, std::size_t answerSize) {
        EXPECT_TRUE(p.send(protocol::frame(line)));
        return p.receive(answerSize + 1, 20000);
    }

    QTemporaryDir folder_;
    store::Store store_;
    std::unique_ptr<ServerHost> host_;
    int port_ = 0;
};

TEST_F(AccountsHostTest, RegisterThenLogInElsewhereAndAGuestIsRefusedTheName) {
    const std::size_t loggedInSize = acc::Loggedin{"Ann", std::string(acc::kTokenChars, 'x')}.format().size();
    RawPeer first = connect(1, 1, true);
    const std::string registered = ask(first, acc::Register{"Ann", "correct horse"}.format(), loggedInSize);
    ASSERT_EQ(registered.rfind("CMD_loggedin+Ann+", 0), 0u) << registered;
    const std::string token = registered.substr(17, acc::kTokenChars);
    EXPECT_TRUE(acc::tokenShaped(token));
    EXPECT_TRUE(store_.hasAccount("ann"));

    RawPeer second = connect(2, 2, true);
    const std::string wrong = acc::Accountrefused{"Wrong name or password."}.format();
    EXPECT_EQ(ask(second, acc::Login{"ANN", "wrong horse"}.format(), wrong.size()), protocol::frame(wrong));
    const std::string login = ask(second, acc::Login{"ANN", "correct horse"}.format(), loggedInSize);
    EXPECT_EQ(login.rfind("CMD_loggedin+Ann+", 0), 0u) << login;
    EXPECT_NE(login.substr(17, acc::kTokenChars), token);

    // The session token logs a third connection in without the password.
    RawPeer third = connect(3, 3, true);
    EXPECT_EQ(ask(third, acc::Resume{token}.format(), loggedInSize), protocol::frame(acc::Loggedin{"Ann", token}.format()));

    // The owner keeps the name in the lobby; the other two go (three connections from one
    // address that sit nowhere are as many as it may hold).
    const std::string kept = protocol::lobby::Lobbyname{"Ann"}.format();
    EXPECT_EQ(ask(first, protocol::lobby::Lobby{"Ann"}.format(), kept.size()).substr(0, kept.size() + 1),
              protocol::frame(kept));
    second.close();
    third.close();
    ASSERT_TRUE(waitUntil([&] { return host_->connectionCount() == 1; }));

    // A guest on a plain connection: no password is heard, and the name is made unique.
    RawPeer guest = connect(4, 2, false);
    const std::string plain = acc::Accountrefused{"Passwords travel only over an encrypted connection."}.format();
    EXPECT_EQ(ask(guest, acc::Login{"Ann", "correct horse"}.format(), plain.size()), protocol::frame(plain));
    const std::string name = protocol::lobby::Lobbyname{"Ann (2)"}.format();
    EXPECT_EQ(ask(guest, protocol::lobby::Lobby{"Ann"}.format(), name.size()).substr(0, name.size() + 1),
              protocol::frame(name));
}

}  // namespace
}  // namespace quorbit::serverhost
