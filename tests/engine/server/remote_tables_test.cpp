// The other servers' tables in the lobby and in a listing that asks for "all": told after
// the lobby's own on entering, then only as they change, keyed by server and name; bad
// rows left out; the old listing unchanged.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/directory_messages.h"
#include "protocol/lobby_messages.h"
#include "tables_fixture.h"

namespace quorbit::server {
namespace {

namespace proto = quorbit::protocol;
namespace lobby = proto::lobby;
namespace directory = proto::directory;
using Lines = std::vector<std::string>;

RemoteTable remote(const std::string& server, const std::string& name, int players = 0) {
    RemoteTable r{server, {}};
    r.table.name = name;
    r.table.players = players;
    r.table.zubo = "classic";
    r.table.language = "en";
    return r;
}

class RemoteTablesTest : public testing::TableServerTest {
protected:
    Lines enter(ConnectionId id, const std::string& name) {
        server_->opened(id, "127.0.0.1", now_);
        say(id, lobby::Lobby{name}.format());
        return out_.take(id);
    }
};

TEST_F(RemoteTablesTest, ToldAfterTheOwnTablesOnEnteringThenOnlyChanges) {
    server();
    join(1, "Friday", "Ann");
    server_->setRemoteTables({remote("b.example:7772", "Friday", 1), remote("[2001:db8::5]:7000", "Moon")});
    const Lines first = enter(5, "Bob");
    const Lines expected = {lobby::Lobbyname{"Bob"}.format(),
                            lobby::Person{"Ann", "playing", "Friday"}.format(),
                            lobby::Person{"Bob", "lobby", ""}.format(),
                            "CMD_lobbytable+Friday+1+0+f+0+0+f+classic+0+en+",
                            lobby::Lobbyready{2, 1}.format(),
                            "CMD_remotetable+[2001:db8::5]:7000+Moon+0+0+f+0+0+f+classic+0+en+",
                            "CMD_remotetable+b.example:7772+Friday+1+0+f+0+0+f+classic+0+en+"};
    EXPECT_EQ(first, expected);

    // The same list again says nothing; a change says only that table; a spelling that
    // differs only as names are compared is the same table, told gone under the old one.
    server_->setRemoteTables({remote("b.example:7772", "Friday", 1), remote("[2001:db8::5]:7000", "Moon")});
    EXPECT_TRUE(out_.take(5).empty());
    server_->setRemoteTables({remote("b.example:7772", "Friday", 2), remote("[2001:db8::5]:7000", "MOON")});
    EXPECT_EQ(out_.take(5), (Lines{"CMD_remotetablegone+[2001:db8::5]:7000+Moon+",
                                   "CMD_remotetable+[2001:db8::5]:7000+MOON+0+0+f+0+0+f+classic+0+en+",
                                   "CMD_remotetable+b.example:7772+Friday+2+0+f+0+0+f+classic+0+en+"}));
    // A table of the same name at another server is another table.
    server_->setRemoteTables({remote("b.example:7772", "Friday", 2), remote("c.example:7772", "Friday")});
    EXPECT_EQ(out_.take(5), (Lines{"CMD_remotetablegone+[2001:db8::5]:7000+MOON+",
                                   "CMD_remotetable+c.example:7772+Friday+0+0+f+0+0+f+classic+0+en+"}));
    server_->setRemoteTables({});
    EXPECT_EQ(out_.take(5), (Lines{"CMD_remotetablegone+b.example:7772+Friday+", "CMD_remotetablegone+c.example:7772+Friday+"}));
}

TEST_F(RemoteTablesTest, RowsThatCannotTravelAsFieldsAreLeftOut) {
    server();
    enter(5, "Bob");
    server_->setRemoteTables({remote("", "Empty"), remote("a+b:1", "Plus"), remote("b:1", "Bad\nName"),
                              remote("b:1", std::string("T\xFF", 2)), remote("b:1", "Good")});
    EXPECT_EQ(out_.take(5), Lines{"CMD_remotetable+b:1+Good+0+0+f+0+0+f+classic+0+en+"});
    EXPECT_EQ(server_->remoteTables().size(), 1u);
}

TEST_F(RemoteTablesTest, ListingAllAddsTheOtherServersTablesAndTheOldListingIsUnchanged) {
    server();
    join(1, "Friday", "Ann");
    server_->setRemoteTables({remote("b.example:7772", "Moon", 3)});
    const std::string friday = "CMD_tableinfo+Friday+1+0+f+0+0+f+classic+";
    for (const std::string ask : {"CMD_listtables", "CMD_listtables+", "CMD_listtables+some"}) {
        server_->opened(9, "127.0.0.1", now_);
        say(9, ask);
        EXPECT_EQ(out_.take(9), (Lines{friday, "CMD_tablesend+1+"})) << ask;
        server_->closed(9, now_);
    }
    server_->opened(9, "127.0.0.1", now_);
    say(9, "CMD_listtables+all");
    EXPECT_EQ(out_.take(9), (Lines{friday, "CMD_remotetableinfo+b.example:7772+Moon+3+0+f+0+0+f+classic+",
                                   "CMD_tablesend+2+"}));
    // A listing sits nobody: the connection may still name its table.
    say(9, proto::tables::Table{"Friday"}.format());
    EXPECT_NE(server_->tableOf(9), nullptr);
}

TEST_F(RemoteTablesTest, ChangesOfPublicTablesAreGatheredForTheDirectoryWhileWatched) {
    server();
    join(1, "Friday", "Ann");
    EXPECT_TRUE(server_->takeChanges().empty());  // not watched
    server_->watchChanges(true);
    const auto all = server_->takeChanges();  // every table there is, to start from
    ASSERT_EQ(all.size(), 1u);
    const TableId friday = *all.begin();
    join(2, "Friday", "Gil");
    EXPECT_EQ(server_->takeChanges(), std::set<TableId>{friday});
    EXPECT_EQ(server_->publicLine(friday)->players, 2);
    server_->closed(1, now_);
    server_->closed(2, now_);
    pump();
    EXPECT_EQ(server_->takeChanges(), std::set<TableId>{friday});
    EXPECT_FALSE(server_->publicLine(friday).has_value());
}

TEST(DirectoryMessages, ReadBackAsWritten) {
    directory::Remotetable t{"[::1]:7772", {}};
    t.table.name = "Moon";
    t.table.players = 2;
    t.table.running = true;
    t.table.zubo = "expert";
    t.table.shuffles = 3;
    t.table.language = "fr";
    const std::string line = t.format();
    EXPECT_EQ(directory::Remotetable::parse(line.substr(line.find('+') + 1)), t);
    const directory::Remotetableinfo i{"h:1", t.table};
    const std::string info = i.format();
    EXPECT_EQ(directory::Remotetableinfo::parse(info.substr(info.find('+') + 1)), i);
    EXPECT_EQ(directory::Remotetablegone::parse("h:1+Moon+"), (directory::Remotetablegone{"h:1", "Moon"}));
}

}  // namespace
}  // namespace quorbit::server
