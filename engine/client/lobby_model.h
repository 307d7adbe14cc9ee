#pragma once
// The lobby as its program sees it: who is online and where, the public tables, the
// lobby's chat, and the name the lobby kept for this player. apply() takes one line from
// the table server and says what changed, down to the row, so that a window redraws one
// row and not the whole list. The lines the program sends are built here too.
//
// The tables of other servers that share the lobby's directory come as rows of their own,
// each with its server's address, keyed by server and name: another server's "Friday" is
// not the lobby's own "Friday".
//
// Rows keep the order in which they came; a row that goes takes its place with it. A
// server may send anything: a line that does not read changes nothing, texts are cut as
// the server cuts them, and the book holds at most kMaxLobbyRows tables and as many
// people, so a server cannot make it grow without end.
#include <cstddef>
#include <deque>
#include <functional>
#include <string>
#include <string_view>
#include <unordered_map>
#include <vector>

#include "protocol/lobby_messages.h"

namespace quorbit::client {

// A table of the lobby's own server (empty server), or of another one (its HOST:PORT).
struct LobbyTable : protocol::lobby::Lobbytable {
    std::string server;
    friend bool operator==(const LobbyTable&, const LobbyTable&) = default;
};
using LobbyPerson = protocol::lobby::Person;

inline constexpr std::size_t kMaxLobbyRows = 20000;
inline constexpr std::size_t kMaxLobbyChatLines = 500;

struct LobbyChange {
    enum class Kind {
        None,           // nothing changed (a line that does not read, or says what is known)
        Named,          // name: the name the lobby kept for this player
        TableAdded,     // row: the new table's row (the last)
        TableChanged,   // row
        TableGone,      // row: the row the table had
        PersonAdded,    // row: the new person's row (the last)
        PersonChanged,  // row
        PersonGone,     // row: the row the person had
        Ready,          // the first listing is complete
        Said,           // name said text
        TableMade,      // name: the table as kept; text: a private table's invite code
        TableRefused,   // text: why
        Rated,          // row: the person's row; name: whose ratings came
        LoggedIn,       // name: the account logged in to
        AccountRefused, // text: why, as the server says it
        AccountDone,    // text: what was done, as the server says it
        Leaderboard,    // text: the model ("duel" or "group") whose board is complete
        History,        // name: the player whose recent games are complete
    };
    Kind kind = Kind::None;
    std::size_t row = 0;
    std::string name;
    std::string text;
};

struct LobbyChatLine {
    std::string name;
    std::string text;
};

// A registered person's ratings as the server writes them: DUEL a whole number, GROUP
// with one decimal, each empty for a model not yet played.
struct PersonRating {
    std::string duel;
    std::string group;
    int games = 0;
    friend bool operator==(const PersonRating&, const PersonRating&) = default;
};

struct LeaderRow {
    int rank = 0;
    std::string name;
    std::string rating;
    int games = 0;
};

struct HistoryGame {
    long long game = 0;
    long long finished = 0;  // seconds since 1970 UTC
    std::string model;       // "duel" or "group"
    std::string before;
    std::string after;
};

// A player's recent games, the latest first.
struct History {
    std::string name;
    std::vector<HistoryGame> games;
};

// The account this connection is logged in to, and the token its games log in with.
struct Account {
    std::string name;
    std::string token;
};

inline constexpr std::size_t kMaxLeaders = 100;
inline constexpr std::string_view kAccountDeleted = "Your account is deleted.";
inline constexpr std::size_t kMaxHistoryGames = 50;

// What the player asks for in "Make a Table".
struct TableRequest {
    std::string name;
    protocol::lobby::TableOptions options;
    bool isPublic = true;
};

class LobbyModel {
public:
    // Called before a row is added or taken away (TableAdded, TableGone, PersonAdded,
    // PersonGone), with the change apply() then returns: a view's model must be told
    // before its rows move.
    std::function<void(const LobbyChange&)> beforeRowsMove;

    LobbyChange apply(std::string_view line);

    const std::vector<LobbyTable>& tables() const { return tables_; }
    const std::vector<LobbyPerson>& people() const { return people_; }
    const std::deque<LobbyChatLine>& chat() const { return chat_; }
    // The row of a table (of `server`; empty: the lobby's own) or person by name as the
    // server keeps it; -1 when unknown.
    long tableRow(std::string_view name, std::string_view server = {}) const;
    long personRow(std::string_view name) const;
    const std::string& ownName() const { return ownName_; }
    // How many of the tables are other servers'.
    std::size_t remoteTableCount() const { return remoteTables_; }
    bool ready() const { return ready_; }

    // A person's ratings; nullptr for a guest (or somebody not online).
    const PersonRating* rating(std::string_view name) const;
    const Account& account() const { return account_; }
    bool loggedIn() const { return !account_.name.empty(); }
    // Logging out is reconnecting as a guest: the account is forgotten.
    void forgetAccount() { account_ = {}; }
    // The last complete answers: a leaderboard by model (duel, group), a player's games.
    const std::vector<LeaderRow>& leaders(std::string_view model) const;
    const History& history() const { return history_; }
    // Forgets everything (the connection ended).
    void clear();

    // The lines to send, framed; empty when there is nothing to send (a name with nothing
    // visible in it, an empty chat line). Names and texts are cleaned and cut as the
    // server would, and "+" is taken out of names.
    static std::string enterLine(std::string_view name);
    static std::string chatLine(std::string_view text);
    static std::string makeTableLine(const TableRequest& request);
    // Account lines: a password is sent as its UTF-8 bytes in hexadecimal.
    static std::string loginLine(std::string_view name, std::string_view password, bool registering);
    static std::string newPasswordLine(std::string_view oldPassword, std::string_view newPassword);
    static std::string deleteAccountLine(std::string_view password);
    static std::string leaderboardLine(std::string_view model);
    static std::string historyLine(std::string_view name);

    // Rows by name.
    using RowIndex = std::unordered_map<std::string, std::size_t>;

private:
    template <typename Row>
    LobbyChange keepRow(std::vector<Row>& rows, RowIndex& index, Row row, LobbyChange::Kind changed,
                        LobbyChange::Kind added);
    template <typename Row>
    LobbyChange dropRow(std::vector<Row>& rows, RowIndex& index, const std::string& name, LobbyChange::Kind gone);
    LobbyChange person(const LobbyPerson& p);
    LobbyChange personGone(const std::string& name);
    LobbyChange table(LobbyTable t);
    LobbyChange tableGone(const std::string& name, const std::string& server = {});
    LobbyChange said(LobbyChatLine line);
    LobbyChange accountLine(std::string_view name, std::string_view payload);
    LobbyChange rated(std::string name, PersonRating r);
    LobbyChange leader(std::string_view model, LeaderRow row);
    LobbyChange leadersEnd(std::string_view model);
    LobbyChange historyGame(std::string name, HistoryGame game);
    LobbyChange historyEnd(std::string name);

    std::vector<LobbyTable> tables_;
    std::vector<LobbyPerson> people_;
    RowIndex tableRows_, personRows_;
    std::deque<LobbyChatLine> chat_;
    std::string ownName_;
    std::size_t remoteTables_ = 0;
    bool ready_ = false;
    std::unordered_map<std::string, PersonRating> ratings_;
    Account account_;
    // Answers being gathered, and the last complete ones: index 0 duel, 1 group.
    std::vector<LeaderRow> leadersComing_[2], leaders_[2];
    History historyComing_, history_;
};

}  // namespace quorbit::client
