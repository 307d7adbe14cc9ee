// A client at a table server: the table it names first, the host's powers that follow the
// server's word, and a server that holds one table only.
#include "harness.h"
#include "protocol/table_messages.h"

namespace quorbit::client::testing {
namespace {

using protocol::tables::Host;

class TableClient : public ClientTest {
protected:
    // Joins (not hosting) and logs in as seat `seat` after naming `table`.
    void joinTable(int seat, const std::string& table = "Friday") {
        engine.setLaunch(false, "Cid");
        engine.setTable(table);
        engine.connected();
        serve(tc::sendlogininfo(seat));
        serve(tc::newplayerinfo(seat, "Cid"));
    }
    bool sends(const std::string& prefix) {
        for (const auto& line : sent())
            if (line.rfind(prefix, 0) == 0) return true;
        return false;
    }
    bool said(std::string_view text) {
        const auto lines = chat();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
};

TEST_F(TableClient, HostPowersFollowTheServersWord) {
    joinTable(3);
    serve(tc::existingplayers(1, "Ann"));
    serve(Host{1}.format());
    drain();
    EXPECT_FALSE(st().ishost);
    engine.kicking(1);
    engine.setJustWatch(1, true);
    engine.startGame({"Cid", 100, 60, false, 1});
    EXPECT_TRUE(sent().empty());

    // Ann leaves between games: the powers pass to us, and Start is due at once.
    serve(tc::playerdisconnected(1, "Ann"));
    serve(Host{3}.format());
    EXPECT_TRUE(st().ishost);
    EXPECT_TRUE(st().button_start);
    EXPECT_TRUE(said(kHostNotice));
    engine.kicking(5);
    EXPECT_TRUE(sends("CMD_kickhim+3+5"));
    engine.startGame({"Cid", 100, 60, false, 1});
    EXPECT_TRUE(sends("CMD_startgame"));

    // They pass away from us during a game, and back: Start waits for the game's end.
    serve(tc::startgame({"Cid", 100, 60, false, 1}));
    serve(Host{4}.format());
    EXPECT_FALSE(st().ishost);
    engine.kicking(4);
    EXPECT_TRUE(sent().empty());
    serve(Host{3}.format());
    EXPECT_TRUE(st().ishost);
    EXPECT_FALSE(st().button_start);
    serve(tc::winner("Cid"));
    EXPECT_TRUE(st().button_start);
    // A seat out of range changes nothing.
    serve("CMD_host+12+");
    serve("CMD_host+x+");
    EXPECT_TRUE(st().ishost);
}

TEST_F(TableClient, TheTableIsTheFirstLineAndATableServerConfirmsIt) {
    engine.setLaunch(false, "Cid");
    engine.setTable("Friday");
    engine.connected();
    EXPECT_EQ(sent(), std::vector<std::string>{"CMD_table+Friday"});
    serve(tc::sendlogininfo(2));
    EXPECT_TRUE(sends("CMD_logininfo+2+"));
    serve(tc::newplayerinfo(2, "Cid"));
    EXPECT_TRUE(engine.awaitingTableAnswer());
    // The login's catch-up comes first; the host's name ends the login.
    serve(tc::existingplayers(1, "Ann"));
    dealBoard();
    serve(Host{1}.format());
    const auto lines = chat();
    EXPECT_NE(std::find(lines.begin(), lines.end(), "You are at the table Friday."), lines.end());
    EXPECT_EQ(std::find(lines.begin(), lines.end(), kOneTableNotice), lines.end());
    EXPECT_FALSE(engine.awaitingTableAnswer());
    engine.tableAnswerOverdue();
    EXPECT_TRUE(chat().empty());
}

// The lobby's session token logs in first over an encrypted connection, and never over a
// plain one; a refusal is said in the chat box and the game plays on.
TEST_F(TableClient, TheSessionTokenIsTheFirstLineOverAnEncryptedConnection) {
    engine.setLaunch(false, "Cid");
    engine.setSession("TOKENtoken0123456789ABCDEFGHIJKL");
    engine.setTable("Friday");
    engine.connected(true);
    EXPECT_EQ(sent(), (std::vector<std::string>{"CMD_resume+TOKENtoken0123456789ABCDEFGHIJKL+", "CMD_table+Friday"}));
    serve("CMD_accountrefused+Wrong name or password.+");
    EXPECT_TRUE(said("Wrong name or password."));
}

TEST_F(TableClient, TheSessionTokenNeverGoesOverAPlainConnection) {
    engine.setLaunch(false, "Cid");
    engine.setSession("TOKENtoken0123456789ABCDEFGHIJKL");
    engine.setTable("Friday");
    engine.connected(false);
    EXPECT_EQ(sent(), std::vector<std::string>{"CMD_table+Friday"});
}

// A password logs in to the player's name as the first line over an encrypted connection
// (the session token winning over it); over a plain one it stays here and the chat box
// says so.
TEST_F(TableClient, APasswordLogsInFirstOnlyOverAnEncryptedConnection) {
    engine.setLaunch(false, "Cid");
    engine.setPassword("p+ss w\xc3\xb6rd");
    engine.setTable("Friday");
    engine.connected(true);
    EXPECT_EQ(sent(), (std::vector<std::string>{"CMD_login+Cid+702b73732077c3b67264+", "CMD_table+Friday"}));
    serve("CMD_loggedin+Cid+TOKENtoken0123456789ABCDEFGHIJKL+");
    EXPECT_TRUE(said("You are logged in as Cid."));

    ClientEngine plain{rng};
    plain.setLaunch(false, "Cid");
    plain.setPassword("password1");
    plain.setTable("Friday");
    plain.connected(false);
    EXPECT_EQ(plain.takeOutgoing(), std::vector<std::string>{protocol::frame("CMD_table+Friday")});
    const auto lines = plain.takeChatLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, kPlainPasswordNotice);

    ClientEngine resumed{rng};
    resumed.setLaunch(false, "Cid");
    resumed.setSession("TOKENtoken0123456789ABCDEFGHIJKL");
    resumed.setPassword("password1");
    resumed.connected(true);
    // A server seats a logged-in connection only at a table named: here the default one.
    EXPECT_EQ(resumed.takeOutgoing(), (std::vector<std::string>{protocol::frame("CMD_resume+TOKENtoken0123456789ABCDEFGHIJKL+"),
                                                                 protocol::frame("CMD_table+")}));
}

// Watching a table and a private table's invite code are first lines of their own; the
// command line's invite code is cleaned and wins over a table in the address.
TEST_F(TableClient, WatchingAndInvitationsAreTheirOwnFirstLines) {
    engine.setLaunch(false, "Cid");
    engine.setTable("Friday", TableSeat::Watch);
    engine.connected();
    EXPECT_EQ(sent(), std::vector<std::string>{"CMD_watchtable+Friday"});

    const LaunchPlan plan = launchPlan({"Cid", "10.0.0.5:7000/Friday", "false"}, " K7Q2M9XD4P ", TableSeat::Invite);
    EXPECT_EQ(plan.table, "K7Q2M9XD4P");
    EXPECT_EQ(plan.seat, TableSeat::Invite);
    ClientEngine invited{rng};
    invited.setLaunch(false, "Cid");
    invited.setTable(plan.table, plan.seat);
    invited.connected();
    EXPECT_EQ(invited.takeOutgoing(), std::vector<std::string>{protocol::frame("CMD_invite+K7Q2M9XD4P")});
    // Watching names a table or nothing.
    EXPECT_EQ(launchPlan({"Cid", "10.0.0.5", "false"}, "", TableSeat::Watch).seat, TableSeat::Play);
}

// A table made in a lobby tells its host the options it was made with, for the
// game-start dialog; each telling counts, so a second one is offered again.
TEST_F(TableClient, TheTablesOptionsAreKeptForTheHostsDialog) {
    joinTable(1);
    serve(Host{1}.format());
    const protocol::lobby::TableOptions made{300, 45, 2, true, "expert", "fr"};
    serve(protocol::lobby::Tableoptions{made}.format());
    EXPECT_EQ(st().tableoptions, made);
    EXPECT_EQ(st().tableoptionsTold, 1);
    serve(protocol::lobby::Tableoptions{made}.format());
    EXPECT_EQ(st().tableoptionsTold, 2);
}

TEST_F(TableClient, AServerWithOneTableIsToldApartAndPlayedAt) {
    // Another line before the host is named: the server seats everyone at its one table.
    joinTable(2);
    serve(tc::existingplayers(1, "Ann"));
    serve(tc::chat("Ann", "hello|Black"));
    EXPECT_TRUE(said(kOneTableNotice));
    EXPECT_TRUE(st().loggedin);
    engine.tableAnswerOverdue();
    EXPECT_TRUE(chat().empty());  // said once

    // Nothing more at all: the window's grace runs out.
    ClientEngine quiet{rng};
    quiet.setLaunch(false, "Cid");
    quiet.setTable("Friday");
    quiet.connected();
    quiet.received(protocol::frame(tc::sendlogininfo(2)) + protocol::frame(tc::newplayerinfo(2, "Cid")));
    while (quiet.pump()) {}
    quiet.takeChatLines();
    quiet.tableAnswerOverdue();
    const auto lines = quiet.takeChatLines();
    ASSERT_EQ(lines.size(), 1u);
    EXPECT_EQ(lines[0].text, kOneTableNotice);

    // No table named: nothing is sent first and nothing is said.
    ClientEngine plain{rng};
    plain.setLaunch(false, "Cid");
    plain.connected();
    EXPECT_TRUE(plain.takeOutgoing().empty());
    EXPECT_FALSE(plain.awaitingTableAnswer());
}

}  // namespace
}  // namespace quorbit::client::testing
