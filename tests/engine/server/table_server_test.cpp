// TableServer: tables side by side, the default table, tables that go, host powers,
// admission and the listing.
#include "server/tables.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "protocol/framing.h"
#include "protocol/messages.h"
#include "protocol/table_messages.h"
#include "tables_fixture.h"

namespace quorbit::server {
namespace {

namespace proto = quorbit::protocol;
using testing::TableServerTest;

TEST_F(TableServerTest, TwoTablesSideBySideNeverSeeEachOthersLinesAndNamesAreComparedAsPlayerNames) {
    auto& s = server();
    EXPECT_EQ(join(1, "Friday", "Ann"), 1);
    EXPECT_EQ(join(2, "Saturday", "Bob"), 1);  // a table of its own: seat 1 again
    EXPECT_EQ(join(3, "  FRIDAY ", "Cid"), 2);  // the same table as Ann's
    EXPECT_EQ(s.tableCount(), 2u);
    out_.sent.clear();

    say(1, proto::toserver::chat(1, "hello", "0"));
    say(2, proto::toserver::chat(1, "bonjour", "0"));
    EXPECT_TRUE(anyStarts(out_.sent[3], "CMD_chat+Ann"));
    EXPECT_FALSE(anyStarts(out_.sent[3], "CMD_chat+Bob"));
    EXPECT_FALSE(anyStarts(out_.sent[2], "CMD_chat+Ann"));

    // A game at one table runs that table's clock alone.
    proto::GameSettings g;
    g.starter = "Ann";
    say(1, proto::toserver::startgame(g));
    EXPECT_TRUE(s.table("friday")->gamerunning());
    EXPECT_FALSE(s.table("Saturday")->gamerunning());
    EXPECT_EQ(s.nextDeadline(), now_ + kClockMs);
    EXPECT_FALSE(anyStarts(out_.sent[2], "CMD_startgame"));
}

TEST_F(TableServerTest, AClientThatNamesNoTableSitsAtTheDefaultTable) {
    auto& s = server();
    // Silent: seated when half a second has passed.
    s.opened(1, "127.0.0.1", now_);
    EXPECT_TRUE(out_.take(1).empty());
    EXPECT_EQ(s.nextDeadline(), now_ + kChooseTableMs);
    s.deadlines(now_ + kChooseTableMs - 1);
    EXPECT_TRUE(out_.take(1).empty());
    s.deadlines(now_ + kChooseTableMs);
    EXPECT_EQ(out_.take(1), std::vector<std::string>{proto::toclient::sendlogininfo(1)});
    // Speaking first: seated at once, and its line is handled there.
    s.opened(2, "127.0.0.2", now_);
    say(2, proto::toserver::logininfo(2, proto::kVersion, "Bob"));
    EXPECT_EQ(s.tableOf(2), s.table(""));
    EXPECT_EQ(s.table("")->seat(2).name, "Bob");
    EXPECT_EQ(s.tableCount(), 1u);
    // A TLS handshake begun after 400 ms gives the client its half-second from then on.
    s.opened(3, "127.0.0.3", now_);
    s.markEncrypted(3, now_ + 400);
    s.deadlines(now_ + kChooseTableMs);
    EXPECT_TRUE(out_.take(3).empty());
    s.deadlines(now_ + 400 + kChooseTableMs);
    EXPECT_EQ(out_.take(3), std::vector<std::string>{proto::toclient::sendlogininfo(3)});
}

TEST_F(TableServerTest, ATableGoesWithItsLastConnectionAndAnIdleServerWaitsForNothing) {
    auto& s = server();
    join(1, "Friday", "Ann");
    join(2, "Friday", "Bob");
    proto::GameSettings g;
    g.starter = "Ann";
    say(1, proto::toserver::startgame(g));
    s.closed(1, now_);
    EXPECT_EQ(s.tableCount(), 1u);
    s.closed(2, now_);
    EXPECT_EQ(s.tableCount(), 0u);
    EXPECT_EQ(s.table("Friday"), nullptr);
    EXPECT_FALSE(s.nextDeadline().has_value());
    EXPECT_FALSE(s.hasUnservedLines());
    // Made again, it starts afresh.
    join(3, "Friday", "Cid");
    EXPECT_FALSE(s.table("Friday")->gamerunning());
}

TEST_F(TableServerTest, HostPowersPassToTheSeatLoggedInLongestAndNeverToANewcomer) {
    server();
    join(1, "T", "Ann");
    join(2, "T", "Bob");
    join(3, "T", "Cid");
    Table& t = *server_->table("T");
    EXPECT_EQ(t.host(), 1);
    EXPECT_TRUE(has(out_.take(3), proto::tables::Host{1}.format()));

    server_->closed(1, now_);  // the host leaves: Bob has sat longest
    EXPECT_EQ(t.host(), 2);
    EXPECT_TRUE(has(out_.take(2), proto::tables::Host{2}.format()));
    EXPECT_TRUE(has(out_.take(3), proto::tables::Host{2}.format()));

    // A newcomer takes the free seat 1 but not the powers: it cannot kick or start.
    EXPECT_EQ(join(4, "T", "Dee"), 1);
    EXPECT_EQ(t.host(), 2);
    EXPECT_TRUE(has(out_.take(4), proto::tables::Host{2}.format()));
    say(4, proto::toserver::kickhim(1, 2));
    EXPECT_TRUE(t.seat(2).connected);
    proto::GameSettings g;
    g.starter = "Dee";
    say(4, proto::toserver::startgame(g));
    EXPECT_FALSE(t.gamerunning());
    say(4, proto::toserver::justwatch(3, 1));
    EXPECT_FALSE(anyStarts(out_.take(3), "CMD_justwatching"));
    // The host can.
    say(2, proto::toserver::kickhim(2, 3));
    EXPECT_FALSE(t.seat(3).connected);
    say(2, proto::toserver::startgame(g));
    EXPECT_TRUE(t.gamerunning());
}

TEST_F(TableServerTest, EachAddressMayHoldFewConnectionsNotLoggedInAndAFewMoreInAll) {
    TableLimits limits;
    limits.waitingPerAddress = 2;
    limits.perAddress = 3;
    auto& s = server(limits);
    s.opened(1, "10.0.0.1", now_);
    s.opened(2, "10.0.0.1", now_);
    s.opened(3, "10.0.0.1", now_);  // a third not logged in: refused
    EXPECT_EQ(out_.take(3), std::vector<std::string>{proto::toclient::full()});
    EXPECT_EQ(out_.closedIds, std::vector<ConnectionId>{3});
    s.opened(4, "10.0.0.2", now_);  // another address is not held back
    EXPECT_EQ(s.connectionCount(), 3u);

    say(1, proto::tables::Table{"T"}.format());
    say(1, proto::toserver::logininfo(1, proto::kVersion, "Ann"));
    s.opened(5, "10.0.0.1", now_);  // Ann logged in: room for one more waiting
    EXPECT_EQ(s.connectionCount(), 4u);
    say(5, proto::tables::Table{"T"}.format());
    say(5, proto::toserver::logininfo(2, proto::kVersion, "Bob"));
    s.opened(6, "10.0.0.1", now_);  // three from that address already
    EXPECT_TRUE(has(out_.take(6), proto::toclient::full()));
    s.closed(2, now_);
    s.opened(7, "10.0.0.1", now_);
    EXPECT_EQ(s.connectionCount(), 4u);
}

TEST_F(TableServerTest, TablesAndConnectionsAreCappedAndAFullTableDropsWhoeverHasNotLoggedIn) {
    TableLimits limits;
    limits.tables = 1;
    limits.connections = 10;
    auto& s = server(limits);
    join(1, "One", "Ann", "10.0.0.1");
    s.opened(2, "10.0.0.2", now_);
    say(2, proto::tables::Table{"Two"}.format());
    EXPECT_TRUE(has(out_.take(2), proto::toclient::full()));
    EXPECT_EQ(s.tableCount(), 1u);

    // Eight more at table One, from addresses of their own, one never logging in.
    for (ConnectionId id = 3; id <= 10; ++id)
        join(id, "One", id == 4 ? "" : "P" + std::to_string(id), "10.0.1." + std::to_string(id));
    EXPECT_EQ(s.table("One")->seatOf(4), 0);  // a login without a name is closed
    s.opened(4, "10.0.1.4", now_);            // it comes again and stays silent
    say(4, proto::tables::Table{"One"}.format());
    const int idleSeat = s.table("One")->seatOf(4);
    ASSERT_NE(idleSeat, 0);
    // All nine seats held: the newcomer takes the idle one's seat.
    s.opened(11, "10.0.2.1", now_);
    say(11, proto::tables::Table{"One"}.format());
    EXPECT_EQ(s.table("One")->seatOf(11), idleSeat);
    EXPECT_EQ(s.table("One")->seatOf(4), 0);
    // The connection cap.
    s.opened(12, "10.0.2.2", now_);
    s.opened(13, "10.0.2.3", now_);
    EXPECT_TRUE(has(out_.take(13), proto::toclient::full()));
}

TEST_F(TableServerTest, PromptLinesReachAnIdleTableAtOnceAndStillOnePerTick) {
    auto& s = server({}, true);
    join(1, "T", "Ann");
    out_.sent.clear();
    now_ += kPumpMs;  // nothing served for a whole tick
    s.received(1, proto::frame(proto::toserver::chat(1, "one", "0")) + proto::frame(proto::toserver::chat(1, "two", "0")),
               now_);
    EXPECT_EQ(out_.take(1).size(), 1u);  // the first at once
    s.pumpTick(now_ + kPumpMs - 1);
    EXPECT_TRUE(out_.take(1).empty());  // the second not within the same tick
    s.pumpTick(now_ + kPumpMs);
    EXPECT_EQ(out_.take(1).size(), 1u);
    EXPECT_FALSE(s.hasUnservedLines());
}

TEST_F(TableServerTest, TheListingTellsEachTableAndItsAskerWaitsForItsChoice) {
    auto& s = server();
    join(1, "Friday", "Ann");
    join(2, "Friday", "Bob");
    join(3, "Friday", "Cid");
    join(4, "Friday", "Dee");
    join(5, "Friday", "Eve");
    proto::GameSettings g;
    g.starter = "Ann";
    g.playTo = 300;
    g.seconds = 45;
    g.team = true;
    say(1, proto::toserver::startgame(g));
    join(6, "", "Fay");

    s.opened(9, "127.0.0.9", now_);
    say(9, std::string(proto::names::listtables));  // with or without the "+"
    const std::vector<std::string> expected = {
        "CMD_tableinfo++1+0+f+0+0+f+classic+",
        "CMD_tableinfo+Friday+4+1+t+300+45+t+classic+",
        "CMD_tablesend+2+",
    };
    EXPECT_EQ(out_.take(9), expected);
    // Having asked, it is not seated at the default table after half a second...
    s.deadlines(now_ + kChooseTableMs);
    EXPECT_EQ(s.tableOf(9), nullptr);
    // ...but where it chooses, or closed when it never does.
    say(9, proto::tables::Table{"Friday"}.format());
    EXPECT_EQ(out_.take(9), std::vector<std::string>{proto::toclient::sendlogininfo(6)});
    s.opened(10, "127.0.0.10", now_);
    say(10, proto::tables::Listtables{}.format());
    s.deadlines(now_ + kLoginMs);
    EXPECT_TRUE(std::find(out_.closedIds.begin(), out_.closedIds.end(), 10) != out_.closedIds.end());
}

}  // namespace
}  // namespace quorbit::server
