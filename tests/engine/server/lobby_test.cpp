// The table server's lobby: entering and the first listing, changes only after it, chat,
// making tables (public, private, refused, left unused), watching, and names shared by the
// lobby and every table.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "protocol/lobby_messages.h"
#include "tables_fixture.h"

namespace quorbit::server {
namespace {

namespace proto = quorbit::protocol;
namespace lobby = proto::lobby;
using Lines = std::vector<std::string>;

class LobbyTest : public testing::TableServerTest {
protected:
    // Opens `id` from `address` and enters the lobby as `name`: what it was told.
    Lines enter(ConnectionId id, const std::string& name, const std::string& address = "127.0.0.1") {
        server_->opened(id, address, now_);
        say(id, lobby::Lobby{name}.format());
        return out_.take(id);
    }
    static std::string maketable(const std::string& name, bool isPublic, const std::string& language = "en") {
        return lobby::Maketable{name, {200, 30, 3, false, "strong", language}, isPublic}.format();
    }
    static std::string person(const std::string& name, const std::string& place, const std::string& table = "") {
        return lobby::Person{name, place, table}.format();
    }
};

TEST_F(LobbyTest, EnteringListsPeopleAndPublicTablesThenOnlyChangesFollow) {
    server();
    join(1, "Friday", "Ann");
    join(2, "Friday", "Gil");
    const Lines first = enter(5, "Bob");
    const Lines expected = {lobby::Lobbyname{"Bob"}.format(), person("Ann", "playing", "Friday"), person("Bob", "lobby"),
                            person("Gil", "playing", "Friday"), "CMD_lobbytable+Friday+2+0+f+0+0+f+classic+0+en+",
                            lobby::Lobbyready{3, 1}.format()};
    EXPECT_EQ(first, expected);

    enter(6, "Cid");
    EXPECT_EQ(out_.take(5), Lines{person("Cid", "lobby")});
    // A table made by one member reaches the other as one line, with its options.
    say(6, maketable("Saturday", true));
    const std::string saturday = "CMD_lobbytable+Saturday+0+0+f+200+30+f+strong+3+en+";
    EXPECT_EQ(out_.take(6), (Lines{lobby::Tablemade{"Saturday", ""}.format(), saturday}));
    EXPECT_EQ(out_.take(5), Lines{saturday});

    // Somebody sits there: that table's line and that person, nothing of Friday.
    join(7, "Saturday", "Dee");
    EXPECT_EQ(out_.take(5), (Lines{"CMD_lobbytable+Saturday+1+0+f+200+30+f+strong+3+en+", person("Dee", "playing", "Saturday")}));
    // Its host hears the options the table was made with.
    EXPECT_TRUE(has(out_.take(7), "CMD_tableoptions+200+30+3+f+strong+en+"));

    // Within one tick Ann leaves Friday and Eve sits in her seat: Friday's line is as it
    // was, so only the people change.
    server_->closed(1, now_);
    server_->opened(8, "127.0.0.1", now_);
    server_->received(8, proto::frame(proto::tables::Table{"Friday"}.format()), now_);
    server_->received(8, proto::frame(proto::toserver::logininfo(1, proto::kVersion, "Eve")), now_);
    server_->pumpTick(now_);
    EXPECT_EQ(out_.take(5), (Lines{lobby::Persongone{"Ann"}.format(), person("Eve", "playing", "Friday")}));

    // A table that goes is told gone; a member who leaves is gone for the others.
    server_->closed(7, now_);
    pump();
    EXPECT_EQ(out_.take(5), (Lines{lobby::Lobbytablegone{"Saturday"}.format(), lobby::Persongone{"Dee"}.format()}));
    server_->closed(6, now_);
    pump();
    EXPECT_EQ(out_.take(5), Lines{lobby::Persongone{"Cid"}.format()});
}

TEST_F(LobbyTest, ChatReachesEveryMemberCleanedAsTableChat) {
    server();
    join(1, "Friday", "Ann");
    enter(5, "Bob");
    enter(6, "Cid");
    out_.sent.clear();
    say(5, lobby::Lobbychat{"hello|Blue"}.format());
    EXPECT_EQ(out_.take(5), Lines{"CMD_lobbysaid+Bob+hello|Blue"});
    EXPECT_EQ(out_.take(6), Lines{"CMD_lobbysaid+Bob+hello|Blue"});
    EXPECT_TRUE(out_.take(1).empty());  // the lobby is not a table
    say(6, lobby::Lobbychat{std::string(3000, 'x') + "|clBlue"}.format());  // long, in the system's blue
    const Lines said = out_.take(5);
    ASSERT_EQ(said.size(), 1u);
    EXPECT_EQ(said[0], "CMD_lobbysaid+Cid+" + std::string(1000, 'x') + "|clBlack");
    say(6, lobby::Lobbychat{""}.format());
    EXPECT_TRUE(out_.take(5).empty());
}

TEST_F(LobbyTest, APrivateTableIsNeverListedAndIsReachedByItsInviteCodeOnly) {
    auto& s = server();
    enter(5, "Bob");
    enter(6, "Cid");
    out_.sent.clear();
    say(5, maketable("Secret", false));
    const Lines made = out_.take(5);
    ASSERT_EQ(made.size(), 1u);
    const std::string code = lobby::Tablemade::parse(made[0].substr(made[0].find('+') + 1)).code;
    ASSERT_EQ(code.size(), kInviteCodeChars);
    EXPECT_EQ(code.find_first_not_of(kInviteCodeAlphabet), std::string::npos);
    EXPECT_TRUE(out_.take(6).empty());
    EXPECT_TRUE(s.listing().empty());

    // Its name reaches another table, a public one.
    join(1, "Secret", "Ann");
    EXPECT_NE(s.tableOf(1), s.invited(code));
    // The code, in any case, reaches it; whoever sits there is shown nowhere in particular.
    std::string lower = code;
    for (char& ch : lower) ch = static_cast<char>(std::tolower(static_cast<unsigned char>(ch)));
    out_.sent.clear();
    sit(2, lobby::Invite{lower}.format(), "Dee");
    EXPECT_EQ(s.tableOf(2), s.invited(code));
    EXPECT_TRUE(has(out_.take(6), person("Dee", "private")));
    // A wrong code is refused as a full table is.
    s.opened(3, "127.0.0.3", now_);
    say(3, lobby::Invite{"AAAAAAAAAA"}.format());
    EXPECT_EQ(out_.take(3), Lines{proto::toclient::full()});
    EXPECT_EQ(out_.closedIds.back(), 3);
}

TEST_F(LobbyTest, MakingATableIsRefusedForATakenNameBadSettingsOrNoRoom) {
    TableLimits limits;
    limits.tables = 2;
    TableServer::Options o;
    o.findLanguage = [](std::string_view code) {
        return language::LoadResult{nullptr, "no " + std::string(code)};  // the server has no other language
    };
    server(limits, false, o);
    join(1, "Friday", "Ann");
    enter(5, "Bob");
    const auto refused = [this](const std::string& line) {
        say(5, line);
        const Lines answer = out_.take(5);
        return answer.size() == 1 ? lobby::Tablerefused::parse(answer[0].substr(answer[0].find('+') + 1)).text : "";
    };
    EXPECT_EQ(refused(maketable("FRIDAY", true)), "There is already a table of that name.");
    EXPECT_EQ(refused(maketable("Other", true, "fr")), "The table's settings are not valid.");
    EXPECT_EQ(refused(lobby::Maketable{"Other", {0, 30, 3, false, "classic", "en"}, true}.format()),
              "The table's settings are not valid.");
    EXPECT_EQ(refused(lobby::Maketable{"Other", {200, 30, 3, false, "genius", "en"}, true}.format()),
              "The table's settings are not valid.");
    EXPECT_EQ(refused("CMD_maketable+Other+200+x+3+f+classic+t+en+"), "The table's settings are not valid.");
    EXPECT_EQ(refused("CMD_maketable+Other+200+30+3+yes+classic+t+en+"), "The table's settings are not valid.");
    EXPECT_EQ(refused(maketable("   ", false)), "The table's settings are not valid.");
    say(5, maketable("Other", false));  // a private table may bear any name, but it counts
    EXPECT_TRUE(anyStarts(out_.take(5), "CMD_tablemade+Other+"));
    EXPECT_EQ(refused(maketable("Third", true)), "This server holds as many tables as it may.");
}

TEST_F(LobbyTest, AMadeTableWaitsAMinuteForItsFirstConnectionThenGoesWhenEmpty) {
    auto& s = server();
    enter(5, "Bob");
    for (const char* name : {"Lonely", "Kept", "Spare"}) say(5, maketable(name, true));
    EXPECT_EQ(s.nextDeadline(), now_ + kMadeTableWaitMs);
    // Three unused tables from one address are as many as it may hold.
    say(5, maketable("Fourth", true));
    EXPECT_TRUE(has(out_.take(5), lobby::Tablerefused{"This server holds as many tables as it may."}.format()));
    join(1, "Kept", "Ann");
    s.deadlines(now_ + kMadeTableWaitMs - 1);
    EXPECT_EQ(s.tableCount(), 3u);
    out_.sent.clear();
    now_ += kMadeTableWaitMs;
    s.deadlines(now_);
    pump();
    EXPECT_EQ(out_.take(5), (Lines{lobby::Lobbytablegone{"Lonely"}.format(), lobby::Lobbytablegone{"Spare"}.format()}));
    EXPECT_NE(s.table("Kept"), nullptr);
    // The host's powers pass with the options the table was made with.
    join(2, "Kept", "Cy");
    s.closed(1, now_);
    EXPECT_TRUE(has(out_.take(2), "CMD_tableoptions+200+30+3+f+strong+en+"));
    s.closed(2, now_);
    EXPECT_EQ(s.tableCount(), 0u);
}

TEST_F(LobbyTest, WatchingTakesTheFirstFreeSeatFromFiveAndAFullGalleryIsRefused) {
    auto& s = server();
    join(1, "Friday", "Ann");
    for (ConnectionId id = 2; id <= 6; ++id)
        EXPECT_EQ(sit(id, lobby::Watchtable{"friday"}.format(), "W" + std::to_string(id), "10.0.0." + std::to_string(id)),
                  static_cast<int>(id) + 3);
    EXPECT_EQ(s.listing().at(0).watchers, 5);
    s.opened(7, "10.0.0.7", now_);
    say(7, lobby::Watchtable{"Friday"}.format());
    EXPECT_EQ(out_.take(7), Lines{proto::toclient::full()});
    EXPECT_EQ(join(8, "Friday", "Bob", "10.0.0.8"), 2);  // the players' seats are still free
}

TEST_F(LobbyTest, NamesAreOneNamespaceAcrossTheLobbyAndTheTablesSaveAMembersOwnLogin) {
    auto& s = server();
    enter(5, "Ann", "10.0.0.1");
    join(1, "Friday", "Eve", "10.0.0.5");
    join(2, "Saturday", "eve", "10.0.0.6");
    EXPECT_EQ(s.table("Saturday")->seat(1).name, "eve (2)");
    EXPECT_EQ(enter(6, "EVE", "10.0.0.5").front(), lobby::Lobbyname{"EVE (3)"}.format());
    join(3, "Sunday", "ann", "10.0.0.2");  // another address: a clash
    EXPECT_EQ(s.table("Sunday")->seat(1).name, "ann (2)");
    out_.sent.clear();
    join(4, "Sunday", "Ann", "10.0.0.1");  // the member's own address: her name, shown at the table
    EXPECT_EQ(s.table("Sunday")->seat(2).name, "Ann");
    EXPECT_TRUE(has(out_.take(6), person("Ann", "playing", "Sunday")));
    s.closed(4, now_);
    pump();
    EXPECT_TRUE(has(out_.take(6), person("Ann", "lobby")));
}

TEST_F(LobbyTest, AMemberCountsAsLoggedInAndIsHeldToTheDeadlineAndTheQueueCaps) {
    TableLimits limits;
    limits.waitingPerAddress = 1;
    auto& s = server(limits);
    enter(5, "Bob", "10.0.0.1");
    s.opened(6, "10.0.0.1", now_);  // Bob is no longer waiting: room for one more
    EXPECT_EQ(s.connectionCount(), 2u);
    s.deadlines(now_ + kLoginMs);
    EXPECT_TRUE(s.inLobby(5));  // entering met the deadline
    s.opened(7, "10.0.0.2", now_);
    say(7, lobby::Lobby{" \u200B "}.format());  // nothing visible: closed
    EXPECT_EQ(out_.closedIds.back(), 7);
    std::string flood;
    for (std::size_t i = 0; i <= proto::kMaxQueuedLines; ++i) flood += proto::frame(lobby::Lobbychat{"x"}.format());
    s.received(5, flood, now_);
    EXPECT_FALSE(s.inLobby(5));
    EXPECT_EQ(out_.closedIds.back(), 5);
}

}  // namespace
}  // namespace quorbit::server
