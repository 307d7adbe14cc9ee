// Accounts at a table server: requests and their answers, lines waiting behind a request,
// registered names kept from guests and left to their owners, refusals on plain
// connections, and the ratings told and answered in the lobby.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "protocol/account_messages.h"
#include "protocol/lobby_messages.h"
#include "tables_fixture.h"

namespace quorbit::server {
namespace {

namespace proto = quorbit::protocol;
namespace acc = proto::accounts;
namespace lobby = proto::lobby;
using Lines = std::vector<std::string>;

class FakeBook : public AccountBook {
public:
    void ask(const AccountRequest& r) override { asked.push_back(r); }
    bool registered(std::string_view name) override { return accounts.count(proto::nameKey(name)) != 0; }
    std::optional<PersonRatings> ratings(std::string_view name) override {
        const auto it = rated.find(proto::nameKey(name));
        if (it == rated.end()) return std::nullopt;
        return it->second;
    }
    std::vector<LeaderRow> top(acc::RatingModel, int count) override {
        std::vector<LeaderRow> rows;
        for (int i = 0; i < count + 5; ++i) rows.push_back({"P" + std::to_string(i), 2000.0 - i, 3});
        return rows;
    }
    std::optional<PersonHistory> history(std::string_view name, int) override {
        if (!registered(name)) return std::nullopt;
        return PersonHistory{"Ann", {{7, 1700000000, acc::RatingModel::Duel, 1500, 1562.4}}};
    }
    std::set<std::string> accounts;  // keys
    std::map<std::string, PersonRatings> rated;
    std::vector<AccountRequest> asked;
};

class AccountsTest : public testing::TableServerTest {
protected:
    void SetUp() override {
        server().setAccountBook(&book_);
        book_.accounts = {proto::nameKey("Ann")};
    }
    void open(ConnectionId id, const std::string& address = "127.0.0.1", bool tls = true) {
        server_->opened(id, address, now_);
        if (tls) server_->markEncrypted(id, now_);
    }
    void answer(const AccountAnswer& a) {
        ASSERT_FALSE(book_.asked.empty());
        server_->accountAnswered(book_.asked.back().serial, a, now_);
        pump();
    }
    void logIn(ConnectionId id) {
        say(id, acc::Login{"Ann", "password1"}.format());
        answer({AccountAnswer::Kind::LoggedIn, "Ann", std::string(32, 'T'), ""});
    }
    std::string tableName(ConnectionId id) {
        for (const std::string& l : out_.take(id))
            if (l.rfind("CMD_newplayerinfo+", 0) == 0) return l.substr(l.find('+', 18) + 1);
        return "?";
    }
    FakeBook book_;
};

TEST_F(AccountsTest, ALoginIsAskedAndItsConnectionsLinesWaitForTheAnswer) {
    open(1, "10.0.0.5");
    say(1, acc::Login{" Ann ", "password1"}.format() + "\xff" + proto::tables::Table{"Friday"}.format());
    ASSERT_EQ(book_.asked.size(), 1u);
    EXPECT_EQ(book_.asked[0].kind, AccountRequest::Kind::Login);
    EXPECT_EQ(book_.asked[0].name, "Ann");
    EXPECT_EQ(book_.asked[0].password, "password1");
    EXPECT_EQ(book_.asked[0].address, "10.0.0.5");
    // Neither its next line nor the half-second rule seats it while the request is out.
    now_ += 2000;
    server_->deadlines(now_);
    EXPECT_EQ(server_->tableOf(1), nullptr);
    answer({AccountAnswer::Kind::LoggedIn, "Ann", std::string(32, 'T'), ""});
    EXPECT_EQ(server_->account(1), "Ann");
    const Lines told = out_.take(1);
    ASSERT_FALSE(told.empty());
    EXPECT_EQ(told[0], (acc::Loggedin{"Ann", std::string(32, 'T')}.format()));
    ASSERT_NE(server_->tableOf(1), nullptr);  // the waiting line seated it at Friday
    EXPECT_EQ(server_->table("Friday"), server_->tableOf(1));
    // An answer for a request nobody waits for is ignored.
    server_->accountAnswered(999, {AccountAnswer::Kind::Refused, "", "", "x"}, now_);
}

TEST_F(AccountsTest, RefusalsAnsweredAtOnceAndPlainConnectionsHearOnlyTheRefusal) {
    open(1, "127.0.0.1", false);
    say(1, acc::Register{"Ann", "password1"}.format());
    EXPECT_EQ(out_.take(1), Lines{acc::Accountrefused{"Passwords travel only over an encrypted connection."}.format()});
    EXPECT_TRUE(book_.asked.empty());
    EXPECT_EQ(server_->account(1), "");

    open(2);
    say(2, "CMD_login+Ann+61x+");  // not hexadecimal: void
    say(2, acc::Register{"Zubo", "password1"}.format());
    say(2, acc::Register{"Bo", "short"}.format());
    say(2, acc::Login{"Bo", "short"}.format());
    say(2, acc::Resume{"not a token"}.format());
    say(2, acc::Newpassword{"password1", "password2"}.format());
    say(2, acc::Deleteaccount{"password1"}.format());
    const Lines expected = {acc::Accountrefused{"That name cannot be registered."}.format(),
                            acc::Accountrefused{"A password has 8 to 256 characters."}.format(),
                            acc::Accountrefused{"Wrong name or password."}.format(),
                            acc::Accountrefused{"Wrong name or password."}.format(),
                            acc::Accountrefused{"You are not logged in."}.format(),
                            acc::Accountrefused{"You are not logged in."}.format()};
    EXPECT_EQ(out_.take(2), expected);
    EXPECT_TRUE(book_.asked.empty());

    // A name a guest plays under is not registered from elsewhere.
    join(30, "Friday", "Cleo", "10.0.0.3");
    open(31, "10.0.0.4");
    say(31, acc::Register{"CLEO", "password1"}.format());
    EXPECT_EQ(out_.take(31), Lines{acc::Accountrefused{"Somebody else is using that name now."}.format()});
    EXPECT_TRUE(book_.asked.empty());

    // Logged in: a second login is refused, a deletion logs out.
    logIn(2);
    out_.take(2);
    say(2, acc::Resume{std::string(32, 'T')}.format());
    EXPECT_EQ(out_.take(2), Lines{acc::Accountrefused{"You are logged in already."}.format()});
    // A new password keeps the session this connection holds.
    say(2, acc::Newpassword{"password1", "password2"}.format());
    EXPECT_EQ(book_.asked.back().token, std::string(32, 'T'));
    answer({AccountAnswer::Kind::Done, "", "", "Your password is changed."});
    out_.take(2);
    say(2, acc::Deleteaccount{"password1"}.format());
    EXPECT_EQ(book_.asked.back().kind, AccountRequest::Kind::Delete);
    EXPECT_EQ(book_.asked.back().name, "Ann");
    answer({AccountAnswer::Kind::Done, "", "", "Your account is deleted."});
    EXPECT_EQ(out_.take(2), Lines{acc::Accountdone{"Your account is deleted."}.format()});
    EXPECT_EQ(server_->account(2), "");

    // A server without accounts says so.
    server_->setAccountBook(nullptr);
    open(3);
    say(3, acc::Login{"Ann", "password1"}.format());
    EXPECT_EQ(out_.take(3), Lines{acc::Accountrefused{"Accounts are not kept on this server."}.format()});
}

TEST_F(AccountsTest, ARegisteredNameIsMadeUniqueForGuestsAndKeptByItsOwner) {
    // A guest, in the lobby and at a table.
    open(1);
    say(1, lobby::Lobby{"Ann"}.format());
    EXPECT_EQ(out_.take(1).at(0), lobby::Lobbyname{"Ann (2)"}.format());
    EXPECT_EQ(join(2, "Friday", "ann"), 1);
    EXPECT_EQ(tableName(2), "ann (2)");

    // Its owner, logged in, keeps it in the lobby and, from another address, at a table
    // (the game resumed the session: the lobby member's name is its own).
    open(3, "10.0.0.1");
    logIn(3);
    say(3, lobby::Lobby{"Ann"}.format());
    EXPECT_TRUE(has(out_.take(3), lobby::Lobbyname{"Ann"}.format()));
    open(4, "10.0.0.2");
    say(4, acc::Resume{std::string(32, 'T')}.format());
    EXPECT_EQ(book_.asked.back().kind, AccountRequest::Kind::Resume);
    answer({AccountAnswer::Kind::LoggedIn, "Ann", std::string(32, 'T'), ""});
    say(4, proto::tables::Table{"Friday"}.format());
    say(4, proto::toserver::logininfo(server_->tableOf(4)->seatOf(4), proto::kVersion, "Ann"));
    EXPECT_EQ(tableName(4), "Ann");
    // Another address without the account gets the owner's lobby name made unique.
    EXPECT_EQ(join(5, "Friday", "Ann", "10.0.0.1"), 3);
    EXPECT_EQ(tableName(5), "Ann (3)");
}

TEST_F(AccountsTest, TheLobbyHearsRatingsAndAnswersLeaderboardsAndHistories) {
    book_.rated[proto::nameKey("Ann")] = {1612.6, std::nullopt, 4};
    open(1);
    logIn(1);
    out_.take(1);
    say(1, lobby::Lobby{"Ann"}.format());
    open(2);
    say(2, lobby::Lobby{"Bob"}.format());
    const Lines told = out_.take(2);
    const auto ann = std::find(told.begin(), told.end(), lobby::Person{"Ann", "lobby", ""}.format());
    ASSERT_NE(ann, told.end());
    EXPECT_EQ(*(ann + 1), "CMD_personrating+Ann+1613++4+");
    EXPECT_FALSE(anyStarts(told, "CMD_personrating+Bob"));  // a guest has none

    book_.rated[proto::nameKey("Ann")] = {1620.0, 3.25, 5};
    out_.take(1);
    server_->ratingsChanged({"ann", "Nobody"});
    EXPECT_EQ(out_.take(2), Lines{"CMD_personrating+Ann+1620+3.3+5+"});

    say(2, acc::Leaderboard{acc::RatingModel::Duel}.format());
    Lines board = out_.take(2);
    ASSERT_EQ(board.size(), 101u);  // at most 100 lines, then the end
    EXPECT_EQ(board[0], "CMD_leader+duel+1+P0+2000+3+");
    EXPECT_EQ(board[100], "CMD_leaderend+duel+100+");
    say(2, acc::History{"ann"}.format());
    EXPECT_EQ(out_.take(2), (Lines{"CMD_historygame+Ann+7+1700000000+duel+1500+1562+", "CMD_historyend+Ann+1+"}));
    say(2, acc::History{"Cy"}.format());
    EXPECT_EQ(out_.take(2), Lines{"CMD_historyend+Cy+0+"});
    // Ten asks a minute; more are ignored until the minute has passed.
    for (int i = 0; i < 8; ++i) say(2, acc::History{"Cy"}.format());
    EXPECT_EQ(out_.take(2).size(), 7u);
    now_ += 60 * 1000;
    say(2, acc::History{"Cy"}.format());
    EXPECT_EQ(out_.take(2), Lines{"CMD_historyend+Cy+0+"});
}

TEST_F(AccountsTest, ALobbyMembersLinesWaitBehindItsRequest) {
    open(1);
    say(1, lobby::Lobby{"Bob"}.format());
    out_.take(1);
    say(1, acc::Login{"Ann", "password1"}.format());
    say(1, acc::History{"Cy"}.format());
    EXPECT_TRUE(out_.take(1).empty());
    answer({AccountAnswer::Kind::Refused, "", "", "Wrong name or password."});
    EXPECT_EQ(out_.take(1), (Lines{acc::Accountrefused{"Wrong name or password."}.format(), "CMD_historyend+Cy+0+"}));
}

}  // namespace
}  // namespace quorbit::server
