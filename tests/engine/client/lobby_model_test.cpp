// The lobby's book: the first listing, a change of one row, rows that go, chat, and the
// lines the lobby sends.
#include <gtest/gtest.h>

#include "client/lobby_model.h"
#include "protocol/framing.h"

namespace lobbymodeltest {

using namespace quorbit::client;
using Kind = LobbyChange::Kind;

namespace {

std::string tableLine(const std::string& name, int players, bool running = false) {
    LobbyTable t;
    t.name = name;
    t.players = players;
    t.running = running;
    t.playTo = 300;
    t.seconds = 60;
    t.zubo = "classic";
    t.shuffles = 1;
    t.language = "en";
    return t.format();
}

}  // namespace

TEST(LobbyModel, TheFirstListingThenOneRowAtATime) {
    LobbyModel m;
    std::vector<LobbyChange> told;  // what a view's model hears before rows move
    m.beforeRowsMove = [&](const LobbyChange& c) { told.push_back(c); };
    EXPECT_EQ(m.apply("CMD_lobbyname+Ann (2)+").name, "Ann (2)");
    EXPECT_EQ(m.ownName(), "Ann (2)");
    EXPECT_EQ(m.apply("CMD_person+Ann (2)+lobby++").kind, Kind::PersonAdded);
    EXPECT_EQ(m.apply("CMD_person+Bo+playing+Friday+").row, 1u);
    EXPECT_EQ(m.apply(tableLine("Friday", 1)).kind, Kind::TableAdded);
    EXPECT_EQ(m.apply(tableLine("Saturday", 0)).row, 1u);
    EXPECT_FALSE(m.ready());
    EXPECT_EQ(m.apply("CMD_lobbyready+2+2+").kind, Kind::Ready);
    EXPECT_TRUE(m.ready());
    EXPECT_EQ(told.size(), 4u);

    // One table changes: its row, and nothing moves.
    const LobbyChange c = m.apply(tableLine("Saturday", 2, true));
    EXPECT_EQ(c.kind, Kind::TableChanged);
    EXPECT_EQ(c.row, 1u);
    EXPECT_EQ(m.tables()[1].players, 2);
    EXPECT_TRUE(m.tables()[1].running);
    EXPECT_EQ(told.size(), 4u);
    EXPECT_EQ(m.apply(tableLine("Saturday", 2, true)).kind, Kind::None);  // nothing new

    const LobbyChange moved = m.apply("CMD_person+Ann (2)+watching+Saturday+");
    EXPECT_EQ(moved.kind, Kind::PersonChanged);
    EXPECT_EQ(m.people()[0].place, "watching");
    EXPECT_EQ(m.people()[0].table, "Saturday");
}

TEST(LobbyModel, RowsThatGoTakeTheirPlaceWithThem) {
    LobbyModel m;
    for (const char* t : {"A", "B", "C"}) m.apply(tableLine(t, 0));
    std::vector<LobbyChange> told;
    m.beforeRowsMove = [&](const LobbyChange& c) { told.push_back(c); };
    const LobbyChange gone = m.apply("CMD_lobbytablegone+A+");
    EXPECT_EQ(gone.kind, Kind::TableGone);
    EXPECT_EQ(gone.row, 0u);
    ASSERT_EQ(told.size(), 1u);
    EXPECT_EQ(told[0].row, 0u);  // told before the row went
    EXPECT_EQ(m.tables().size(), 2u);
    EXPECT_EQ(m.tableRow("B"), 0);
    EXPECT_EQ(m.tableRow("C"), 1);
    EXPECT_EQ(m.tableRow("A"), -1);
    EXPECT_EQ(m.apply("CMD_lobbytablegone+A+").kind, Kind::None);  // unknown: nothing

    m.apply("CMD_person+Bo+lobby++");
    m.apply("CMD_person+Cy+lobby++");
    EXPECT_EQ(m.apply("CMD_persongone+Bo+").row, 0u);
    EXPECT_EQ(m.personRow("Cy"), 0);
    m.clear();
    EXPECT_TRUE(m.tables().empty() && m.people().empty() && !m.ready() && m.ownName().empty());
}

TEST(LobbyModel, ChatAndAnswersToMakingATable) {
    LobbyModel m;
    const LobbyChange said = m.apply("CMD_lobbysaid+Bo+hello + welcome|clBlack");
    EXPECT_EQ(said.kind, Kind::Said);
    EXPECT_EQ(said.name, "Bo");
    EXPECT_EQ(said.text, "hello + welcome");  // the rest of the line, without its colour
    EXPECT_EQ(m.apply("CMD_lobbysaid+Bo+").kind, Kind::None);
    for (int i = 0; i < 600; ++i) m.apply("CMD_lobbysaid+Bo+" + std::to_string(i));
    EXPECT_EQ(m.chat().size(), kMaxLobbyChatLines);
    EXPECT_EQ(m.chat().back().text, "599");

    const LobbyChange made = m.apply("CMD_tablemade+Quiet one+ABCD23EFGH+");
    EXPECT_EQ(made.kind, Kind::TableMade);
    EXPECT_EQ(made.name, "Quiet one");
    EXPECT_EQ(made.text, "ABCD23EFGH");
    const LobbyChange refused = m.apply("CMD_tablerefused+There is already a table of that name.+");
    EXPECT_EQ(refused.kind, Kind::TableRefused);
    EXPECT_EQ(refused.text, "There is already a table of that name.");
}

TEST(LobbyModel, LinesThatDoNotReadChangeNothing) {
    LobbyModel m;
    for (const char* bad : {"", "CMD_lobbytable", "CMD_lobbytable+T+two+0+f+0+0+f+classic+0+en+",
                            "CMD_lobbyready+x+", "CMD_person++lobby++", "CMD_unknown+1+", "CMD_chat+Bo+hi"})
        EXPECT_EQ(m.apply(bad).kind, Kind::None) << bad;
    EXPECT_TRUE(m.tables().empty() && m.people().empty());
    // Overlong names are cut as the server cuts them; counts below zero read as zero.
    m.apply("CMD_lobbytable+" + std::string(100, 'x') + "+-5+0+f+0+0+f+classic+0+en+");
    ASSERT_EQ(m.tables().size(), 1u);
    EXPECT_EQ(m.tables()[0].name.size(), 24u);
    EXPECT_EQ(m.tables()[0].players, 0);
    // The book stops growing at its bound.
    for (std::size_t i = 0; i <= kMaxLobbyRows; ++i) m.apply("CMD_person+P" + std::to_string(i) + "+lobby++");
    EXPECT_EQ(m.people().size(), kMaxLobbyRows);
}

TEST(LobbyModel, TheLinesTheLobbySends) {
    EXPECT_EQ(LobbyModel::enterLine("  Ann+Lee "), quorbit::protocol::frame("CMD_lobby+AnnLee"));
    EXPECT_EQ(LobbyModel::enterLine(" \xE2\x80\x8B "), "");  // nothing visible
    EXPECT_EQ(LobbyModel::chatLine("hi\nthere"), quorbit::protocol::frame("CMD_lobbychat+hi there|clBlack"));
    // A "|" of the player's own would end the line early.
    EXPECT_EQ(LobbyModel::chatLine("a|b"), quorbit::protocol::frame("CMD_lobbychat+a\u00a6b|clBlack"));
    EXPECT_EQ(LobbyModel::chatLine("   "), "");
    TableRequest r;
    r.name = "Fri+day";
    r.options = {500, 45, 2, true, "expert", "fr"};
    r.isPublic = false;
    EXPECT_EQ(LobbyModel::makeTableLine(r), quorbit::protocol::frame("CMD_maketable+Friday+500+45+2+t+expert+f+fr+"));
}

// Ratings are kept for people online and go with them; an update that says what is
// known changes nothing, and neither does a line whose rating does not read.
TEST(LobbyModel, RatingsOfPeopleOnline) {
    LobbyModel m;
    EXPECT_EQ(m.apply("CMD_personrating+Ann+1620+3.5+12+").kind, Kind::None);  // nobody of that name online
    m.apply("CMD_person+Bob+lobby++");
    m.apply("CMD_person+Ann+lobby++");
    const LobbyChange c = m.apply("CMD_personrating+Ann+1620+3.5+12+");
    EXPECT_EQ(c.kind, Kind::Rated);
    EXPECT_EQ(c.row, 1u);
    ASSERT_NE(m.rating("Ann"), nullptr);
    EXPECT_EQ(*m.rating("Ann"), (PersonRating{"1620", "3.5", 12}));
    EXPECT_EQ(m.apply("CMD_personrating+Ann+1620+3.5+12+").kind, Kind::None);
    EXPECT_EQ(m.apply("CMD_personrating+Ann+<b>+x+-3+").kind, Kind::None);
    EXPECT_EQ(m.apply("CMD_personrating+Ann++4.25+13+").kind, Kind::Rated);
    EXPECT_EQ(*m.rating("Ann"), (PersonRating{"", "4.3", 13}));
    EXPECT_EQ(m.rating("Bob"), nullptr);
    m.apply("CMD_persongone+Ann+");
    EXPECT_EQ(m.rating("Ann"), nullptr);
}

// Logging in keeps the account and its token; a refusal and a deletion say what the
// server said, and a deletion forgets the account.
TEST(LobbyModel, TheAccountAndItsAnswers) {
    LobbyModel m;
    const LobbyChange in = m.apply("CMD_loggedin+Ann+abcDEF123+");
    EXPECT_EQ(in.kind, Kind::LoggedIn);
    EXPECT_EQ(m.account().name, "Ann");
    EXPECT_EQ(m.account().token, "abcDEF123");
    const LobbyChange no = m.apply("CMD_accountrefused+Wrong password.+");
    EXPECT_EQ(no.kind, Kind::AccountRefused);
    EXPECT_EQ(no.text, "Wrong password.");
    EXPECT_TRUE(m.loggedIn());
    EXPECT_EQ(m.apply("CMD_accountdone+Your account is deleted.+").kind, Kind::AccountDone);
    EXPECT_FALSE(m.loggedIn());
}

// Leaderboards and histories are gathered line by line and shown once their end comes;
// rows past the caps are dropped, and an answer for another player starts anew.
TEST(LobbyModel, LeaderboardsAndHistoriesAreGatheredUntilTheirEnd) {
    LobbyModel m;
    for (int i = 1; i <= 120; ++i)
        m.apply("CMD_leader+duel+" + std::to_string(i) + "+P" + std::to_string(i) + "+" + std::to_string(2000 - i) + "+5+");
    m.apply("CMD_leader+group+1+Ann+12.5+3+");
    EXPECT_TRUE(m.leaders("duel").empty());
    EXPECT_EQ(m.apply("CMD_leaderend+duel+120+").text, "duel");
    ASSERT_EQ(m.leaders("duel").size(), kMaxLeaders);
    EXPECT_EQ(m.leaders("duel")[0].name, "P1");
    EXPECT_EQ(m.leaders("duel")[0].rating, "1999");
    EXPECT_TRUE(m.leaders("group").empty());
    m.apply("CMD_leaderend+group+1+");
    EXPECT_EQ(m.leaders("group")[0].rating, "12.5");

    m.apply("CMD_historygame+Bob+7+1700000000+duel+1500+1520+");
    m.apply("CMD_historygame+Ann+9+1700000500+duel+1500+1480+");
    m.apply("CMD_historygame+Ann+8+4102444800+group+0.0+2.1+");
    m.apply("CMD_historygame+Ann+6+17e8+duel+1500+1480+");  // a time that does not read
    const LobbyChange c = m.apply("CMD_historyend+Ann+2+");
    EXPECT_EQ(c.kind, Kind::History);
    ASSERT_EQ(m.history().games.size(), 2u);
    EXPECT_EQ(m.history().name, "Ann");
    EXPECT_EQ(m.history().games[1].finished, 4102444800LL);  // past 2038
    EXPECT_EQ(m.history().games[1].after, "2.1");
    m.apply("CMD_historyend+Nobody+0+");
    EXPECT_TRUE(m.history().games.empty());
}

// Passwords travel as the hexadecimal of their UTF-8 bytes, whatever characters they hold.
TEST(LobbyModel, AccountLinesCarryPasswordsInHexadecimal) {
    using quorbit::protocol::frame;
    EXPECT_EQ(LobbyModel::loginLine("Ann", "pa+s\xc3\xa9", false), frame("CMD_login+Ann+70612b73c3a9+"));
    EXPECT_EQ(LobbyModel::loginLine("Ann", "secret12", true), frame("CMD_register+Ann+7365637265743132+"));
    EXPECT_EQ(LobbyModel::loginLine("   ", "secret12", false), "");
    EXPECT_EQ(LobbyModel::newPasswordLine("ab", "cd"), frame("CMD_newpassword+6162+6364+"));
    EXPECT_EQ(LobbyModel::deleteAccountLine("ab"), frame("CMD_deleteaccount+6162+"));
    EXPECT_EQ(LobbyModel::leaderboardLine("group"), frame("CMD_leaderboard+group+"));
    EXPECT_EQ(LobbyModel::leaderboardLine("solo"), "");
    EXPECT_EQ(LobbyModel::historyLine("Ann+"), frame("CMD_history+Ann+"));
}

}  // namespace lobbymodeltest

namespace lobbymodeltest {

// Another server's tables are rows of their own, keyed by server and name.
TEST(LobbyModel, OtherServersTablesAreKeptByServerAndName) {
    LobbyModel m;
    ASSERT_EQ(m.apply(tableLine("Friday", 1)).kind, Kind::TableAdded);
    const std::string remote = "CMD_remotetable+b.example:7772+Friday+2+0+f+300+60+f+classic+1+en+";
    const LobbyChange added = m.apply(remote);
    EXPECT_EQ(added.kind, Kind::TableAdded);
    EXPECT_EQ(added.row, 1u);
    EXPECT_EQ(m.tables()[1].server, "b.example:7772");
    EXPECT_EQ(m.tables()[1].players, 2);
    EXPECT_EQ(m.tableRow("Friday"), 0);
    EXPECT_EQ(m.tableRow("Friday", "b.example:7772"), 1);
    EXPECT_EQ(m.apply(remote).kind, Kind::None);
    EXPECT_EQ(m.apply("CMD_remotetable+[::1]:7000+Friday+0+0+f+0+0+f+classic+0+en+").row, 2u);
    // Gone at one server: only that row goes; an unknown server or an empty one changes nothing.
    EXPECT_EQ(m.apply("CMD_remotetablegone+c.example:1+Friday+").kind, Kind::None);
    EXPECT_EQ(m.apply("CMD_remotetablegone++Friday+").kind, Kind::None);
    EXPECT_EQ(m.apply("CMD_remotetable++Moon+0+0+f+0+0+f+classic+0+en+").kind, Kind::None);
    const LobbyChange gone = m.apply("CMD_remotetablegone+b.example:7772+Friday+");
    EXPECT_EQ(gone.kind, Kind::TableGone);
    EXPECT_EQ(gone.row, 1u);
    EXPECT_EQ(m.tables()[0].server, "");
    EXPECT_EQ(m.tableRow("Friday", "[::1]:7000"), 1);
    EXPECT_EQ(m.remoteTableCount(), 1u);
    EXPECT_EQ(m.apply("CMD_remotetable+h:1+Bad+x+").kind, Kind::None);  // a number that does not read
}

}  // namespace lobbymodeltest
