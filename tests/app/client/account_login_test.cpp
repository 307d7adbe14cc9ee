// Logging in to an account from the game: the Join window's password travels with the
// restart to the game, which logs in with it over TLS to a real table server keeping its
// accounts in SQLite.
#include <QDateTime>
#include <QLineEdit>

#include "app/net/tls.h"
#include "app/server/serverhost.h"
#include "app/social/joinform.h"
#include "app/store/store.h"
#include "app/shell/cmdline.h"
#include "client/launch.h"
#include "testkit/tls_table_server.h"
#include "window_fixture.h"

namespace quorbit::apptest {
namespace {

class AccountLogin : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(store.open(store::parseDatabaseTarget(home.path() + "/store.sqlite"))) << store.error().toStdString();
        ASSERT_EQ(store.registerAccount("Ann", "correct horse", QDateTime::currentSecsSinceEpoch()),
                  store::Store::Registered::Created);
        host = std::make_unique<serverhost::ServerHost>(testsupport::tlsTableServerOptions());
        host->keepAccounts(store);
        ASSERT_TRUE(host->listen(port)) << host->errorText();
    }
    void TearDown() override { qunsetenv(client::kPasswordVariable); }

    // What Join in the game's Join window restarts the program with: its launch
    // parameters, and the password handed over beside them.
    std::pair<std::vector<std::string>, QString> joinAs(const QString& name, const QString& password) {
        shell::CommandLine line;
        line.port = port;
        shell::Program program(line);
        QStringList restart;
        QString handed;
        program.relaunch = [&](const QStringList& args, const QString& p) {
            restart = args;
            handed = p;
        };
        program.showJoin();
        Tjoin& join = program.join();
        auto* field = join.findChild<QLineEdit*>("edit_password");
        EXPECT_NE(field, nullptr);
        if (!field) return {};
        EXPECT_EQ(field->echoMode(), QLineEdit::Password);
        EXPECT_EQ(field->accessibleName(), "Password");
        join.findChild<QLineEdit*>("edit_address")->setText(QString("127.0.0.1:%1").arg(port));
        join.setPlayerName(name);
        field->setText("short");
        EXPECT_FALSE(join.joinClick());
        EXPECT_EQ(join.errorText(), "A password has 8 to 256 characters.");
        field->setText(password);
        EXPECT_TRUE(join.joinClick());
        EXPECT_TRUE(field->text().isEmpty());  // the window lets it go once handed on
        std::vector<std::string> args;
        for (const QString& a : restart) args.push_back(a.toStdString());
        for (const std::string& a : args) EXPECT_EQ(QString::fromStdString(a).indexOf(password), -1);
        const shell::CommandLine again = shell::parseCommandLine(args);
        EXPECT_EQ(again.port, port);
        return {shell::launchParameters(again), handed};
    }

    // The restarted game: its password in the environment it was started with.
    std::unique_ptr<Tchat> start(const std::pair<std::vector<std::string>, QString>& join) {
        qputenv(client::kPasswordVariable, join.second.toUtf8());
        auto chat = std::make_unique<Tchat>();
        chat->showMessage = [this](const QString& t) { boxes.append(t); };
        chat->setSettingsPath(home.settings());
        Tchat::Launch launch;
        launch.params = join.first;
        launch.port = port;
        chat->setLaunch(std::move(launch));
        chat->show();
        EXPECT_FALSE(qEnvironmentVariableIsSet(client::kPasswordVariable));
        return chat;
    }

    TempHome home;
    store::Store store;
    int port = freeLoopbackPort();
    std::unique_ptr<serverhost::ServerHost> host;
    QStringList boxes;
};

TEST_F(AccountLogin, TheJoinWindowsPasswordLogsInOverTlsAndAWrongOneIsAGuest) {
    auto ann = start(joinAs("Ann", "correct horse"));
    ASSERT_TRUE(waitFor([&] { return chatOf(*ann).contains("You are logged in as Ann."); }, 20000))
        << chatOf(*ann).toStdString();
    // Seated under the account's name once its own arrival is heard.
    EXPECT_TRUE(waitFor([&] { return ann->engine().ownName() == "Ann"; })) << ann->engine().ownName();
    EXPECT_TRUE(ann->encrypted());
    ann->close();
    ann.reset();
    ASSERT_TRUE(waitFor([&] { return host->connectionCount() == 0; }));

    // Nobody holds the name now, yet it is the account's: a wrong password plays as a guest.
    auto guest = start(joinAs("Ann", "wrong horse"));
    EXPECT_TRUE(waitFor([&] { return guest->engine().ownName() == "Ann (2)"; }, 20000)) << chatOf(*guest).toStdString();
    EXPECT_TRUE(chatOf(*guest).contains("Wrong name or password."));
}

}  // namespace
}  // namespace quorbit::apptest
