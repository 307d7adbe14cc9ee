#pragma once
// TableServer: many tables in one server. It owns every connection until the connection
// sits at a table, admits or refuses connections by the limits, makes tables on demand
// and drops them when their last connection leaves, lists them, serves each table's
// received lines one per pump tick, and runs every table's clocks and login deadlines
// from one schedule.
//
// A connection's first line may name its table (the "table" message with its NAME) or ask for the list of
// tables (the "listtables" message). Any other first line, or none within kChooseTableMs, seats it
// at the default table (the name ""), so a client that knows nothing of tables plays as
// it always has. A connection that has asked for the list waits for its choice until
// the login deadline instead. Table names are cleaned as player names are (and lose any
// "+", the field separator), and told apart as player names are.
//
// Before sitting down a connection may also enter the lobby (server/lobby.h), from which it
// sees the people and the public tables, chats and makes tables. A table made there has
// options of its own (play-to, seconds, shuffles, teams, the computer's level, language),
// waits kMadeTableWaitMs for its first connection, and is public (reached by its name) or
// private (never listed, reached only by its invite code). A lobby member stays in the
// lobby: the game runs on a connection of its own. Names are one namespace across the
// lobby and every table.
//
// Accounts (server/account_book.h): before sitting down and in the lobby a connection
// speaking TLS may register a name, log in to it or resume a session, and a logged-in one
// may change its password or delete its account. While a request is out, the
// connection's further lines wait for its answer, and a connection that has spoken of
// accounts before sitting down is choosing, as one that asked for the listing: the
// half-second rule does not seat it. A registered name is its owner's: a connection not
// logged in to the account gets it made unique, in the lobby and at a table. In the lobby
// the people's ratings are told after them, and the leaderboard and a person's history
// are answered.
//
// In single-table mode (a window's host mode) every connection goes straight to the one
// default table, which lives as long as the server, and nothing of the table messages is
// said or heard.
//
// Like Table it has no sockets or clocks: the host reports connections, bytes and the
// time, runs pumpTick() every kPumpMs while hasUnservedLines(), and runs deadlines() at
// nextDeadline(). Tables share nothing mutable: each has its own generator, game, clocks
// and Zubo level; only the dictionary and the computer's word list, both read-only, are
// shared.
#include <cstddef>
#include <cstdint>
#include <deque>
#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <set>
#include <string>
#include <string_view>
#include <tuple>
#include <unordered_map>
#include <vector>

#include "common/random.h"
#include "dictionary/builtin_words.h"
#include "dictionary/dictn.h"
#include "language/loaded.h"
#include "protocol/lobby_messages.h"
#include "protocol/table_messages.h"
#include "rules/zubolevel.h"
#include "server/account_book.h"
#include "server/lobby.h"
#include "server/server.h"
#include "server/server_output.h"

namespace quorbit::server {

// How long a new connection has to name its table before it sits at the default one.
inline constexpr std::int64_t kChooseTableMs = 500;
// The period of each table's turn clock and computer-player delay.
inline constexpr std::int64_t kClockMs = 1000;
// How often one connection may ask for the list of tables.
inline constexpr int kMaxListings = 8;
// The pump's tick: a table serves at most one received line per tick.
inline constexpr std::int64_t kPumpMs = 10;
// How long a table made in the lobby waits for its first connection.
inline constexpr std::int64_t kMadeTableWaitMs = 60 * 1000;
// The length of a private table's invite code, and the characters it is drawn from.
inline constexpr std::size_t kInviteCodeChars = 10;
inline constexpr std::string_view kInviteCodeAlphabet = "ABCDEFGHIJKLMNOPQRSTUVWXYZ23456789";

struct TableLimits {
    std::size_t waitingPerAddress = 3;  // connections from one address not logged in
    std::size_t perAddress = 16;        // connections from one address in all
    std::size_t tables = 1000;
    std::size_t connections = 10000;
};

// What a TableServer asks of its host.
class TablesOutput {
public:
    virtual ~TablesOutput() = default;
    virtual void send(ConnectionId id, std::string_view bytes) = 0;  // framed bytes
    // Closes a connection the server has already forgotten.
    virtual void close(ConnectionId id) = 0;
    // Log lines, escaped by the host (they may hold peers' text).
    virtual void log(std::string_view line) = 0;
    virtual void logAbout(ConnectionId /*id*/, std::string_view line) { log(line); }
    // What an onlooker of table `table` (named `name`) hears, for records.
    virtual void heardByAll(TableId /*table*/, const std::string& /*name*/, std::string_view /*message*/) {}
    // A game was won at table `table` (named `name`).
    virtual void gameFinished(TableId /*table*/, const std::string& /*name*/, const GameFinished& /*game*/) {}
    // A table went away: its records end.
    virtual void tableClosed(TableId /*table*/) {}
};

class TableServer : private LobbyHost {
public:
    struct Options {
        bool singleTable = false;
        TableLimits limits;
        std::uint64_t seed = 1;  // each table's generator is seeded from it and the table's number
        rules::ZuboLevel zubo = rules::ZuboLevel::Classic;
        std::shared_ptr<const language::LoadedLanguage> language;  // null: English
        std::string_view computerWords = dictionary::builtinComputerWords();
        // A line that reaches a table which has served nothing for a whole pump tick is
        // served at once instead of at the next tick; the table still serves at most one
        // line per tick. Off: lines wait for the pump, as a lone server's always have.
        bool promptLines = false;
        // The language of this ISO 639-1 code, for a table made in the lobby; English needs
        // none. Empty: only English and the language above.
        std::function<language::LoadResult(std::string_view code)> findLanguage;
        // Draws private tables' invite codes. Null: a generator seeded from `seed`.
        std::shared_ptr<Random> inviteRandom;
    };

    TableServer(TablesOutput& out, const dictionary::TDictn& spell, Options options);
    ~TableServer() override;
    TableServer(const TableServer&) = delete;
    TableServer& operator=(const TableServer&) = delete;

    // A connection was accepted from `address` (its remote address as text) at `nowMs`.
    void opened(ConnectionId id, const std::string& address, std::int64_t nowMs);
    void received(ConnectionId id, std::string_view bytes, std::int64_t nowMs);
    void closed(ConnectionId id, std::int64_t nowMs);  // ignored if unknown
    // The connection speaks TLS: told by the host at `nowMs`, when the handshake starts and
    // before anything it received is handed over. Only such a connection may send a
    // password.
    void markEncrypted(ConnectionId id, std::int64_t nowMs);
    bool encrypted(ConnectionId id) const;

    // Every table with received lines waiting serves one of them.
    void pumpTick(std::int64_t nowMs);
    // Whether tables or the lobby have received lines waiting, or the lobby has changes to
    // send.
    bool hasUnservedLines() const { return !busy_.empty() || lobby_.hasWork(); }
    // Does whatever is due at `nowMs`: seating at the default table, login deadlines, the
    // tables' clocks, made tables that nobody sat at in time.
    void deadlines(std::int64_t nowMs);
    // When deadlines() next has something to do; nothing while nothing waits.
    std::optional<std::int64_t> nextDeadline() const;

    // The computer's level at every table from now on, and at tables made later.
    void setZubolevel(rules::ZuboLevel level);
    // The language of every table's games from their next start, and of tables made later
    // (null: English).
    void setLanguage(std::shared_ptr<const language::LoadedLanguage> language);

    bool singleTable() const { return options_.singleTable; }
    std::size_t tableCount() const { return tables_.size(); }
    std::size_t connectionCount() const { return connections_.size(); }
    // The public table of that name (as names are compared), or null.
    const Table* table(std::string_view name) const;
    Table* table(std::string_view name);
    // The table a connection sits at, or null (also while it has not chosen one).
    const Table* tableOf(ConnectionId id) const;
    // Every public table, in the order of their names' keys.
    std::vector<protocol::tables::Tableinfo> listing() const;
    // The private table of that invite code (in any letter case), or null.
    const Table* invited(std::string_view code) const;
    bool inLobby(ConnectionId id) const { return lobby_.isMember(id); }

    // Where accounts are kept (null: nowhere, and account messages are refused). Not owned.
    void setAccountBook(AccountBook* book) { book_ = book; }
    // The answer to a request the book was asked (ignored when its connection is gone).
    void accountAnswered(std::uint64_t serial, const AccountAnswer& answer, std::int64_t nowMs);
    // A finished game changed these people's ratings: the lobby hears the new ones.
    void ratingsChanged(const std::vector<std::string>& names);
    // The account a connection is logged in to (its name as registered), or empty.
    std::string account(ConnectionId id) const;
    // The public tables of the other servers sharing this server's directory, the whole
    // list each time: the lobby is told what changed, and a listing that asks for "all"
    // lists them.
    void setRemoteTables(const std::vector<RemoteTable>& tables) { lobby_.setRemote(tables); }
    const RemoteTables& remoteTables() const { return lobby_.remote(); }
    // With watchChanges(true), every public table that was made, changed or went since the
    // last call; the host writes them to the directory. Empty while not watching.
    void watchChanges(bool on);
    std::set<TableId> takeChanges();
    // A public table's line as the lobby would tell it; nothing when it is gone or private.
    std::optional<protocol::lobby::Lobbytable> publicLine(TableId table) const { return lobbyLine(table); }
    std::size_t lobbyCount() const { return lobby_.memberCount(); }
    // A table's name as it is kept: cleaned as a player's name, without "+".
    static std::string tableName(std::string_view raw);

private:
    class TableHost;  // the ServerOutput of one table
    struct Entry;
    struct Connection {
        std::string address;
        std::int64_t openedAt = 0;
        std::int64_t chooseDue = 0;  // seated at the default table then, unless it chose
        TableId table = 0;       // 0 while it has not sat down
        std::string pending;     // bytes received before it sat down
        int listings = 0;        // how often it asked for the list
        bool inLobby = false;
        bool encrypted = false;  // it speaks TLS
        std::string account;     // the account it is logged in to, as registered
        std::string session;     // the session token it was given or resumed
        std::uint64_t asking = 0;  // the serial of its request out, 0 when none
        bool spokeAccounts = false;  // it sent an account message before sitting down
        std::deque<std::int64_t> asks;  // when it last asked for a leaderboard or a history
    };
    struct Request {
        ConnectionId id = 0;
        AccountRequest::Kind kind = AccountRequest::Kind::Login;
    };
    using Deadline = std::pair<std::int64_t, ConnectionId>;
    using ClockDue = std::tuple<std::int64_t, TableId, int>;

    bool admit(ConnectionId id, const std::string& address);
    void lobbyLines(ConnectionId id);
    void sitDown(ConnectionId id, std::string_view tableName, std::string bytes, bool watch = false);
    void sitAt(ConnectionId id, Entry& e, std::string bytes, bool watch);
    void chooseBy(ConnectionId id, std::string_view name, std::string_view payload, std::string rest);
    void sendListing(ConnectionId id, bool all);
    Entry* makeTable(const std::string& name, const std::string& key, bool listed = true);
    void dropTable(Entry& e);
    protocol::tables::Tableinfo info(const Entry& e) const;
    Entry* entry(TableId id);
    void forget(ConnectionId id);                    // drops it from every book, tells no one
    void refuse(ConnectionId id, const std::string& why);  // the "full" message, close, log
    void clockChanged(Entry& e, ServerTimer timer, bool enabled);
    void tableClosedConnection(Entry& e, ConnectionId id);
    void sweep();  // drops tables left empty
    void fed(Entry& e);  // lines reached the table
    bool waiting(ConnectionId id) const;  // not logged in (or not yet seated, nor in the lobby)
    void touched(TableId id) {
        lobby_.touched(id);
        if (watchChanges_) changes_.insert(id);
    }

    // The lobby (tables_lobby.cpp).
    void enterLobby(ConnectionId id, std::string_view rawName, std::string rest);
    void lobbyReceived(ConnectionId id, std::string_view bytes);
    void serveLobbyLine(ConnectionId id, const std::string& line);
    void maketable(ConnectionId id, std::string_view payload);
    std::string refusal(std::string_view payload, const protocol::lobby::Maketable& m, const std::string& name,
                        const std::string& address, std::shared_ptr<const language::LoadedLanguage>& language) const;
    std::optional<std::shared_ptr<const language::LoadedLanguage>> findLanguage(std::string_view code) const;
    std::string inviteCode();
    void invite(ConnectionId id, std::string_view code, std::string rest);
    // Accounts and ratings (tables_accounts.cpp).
    static bool accountName(std::string_view name);
    void accountMessage(ConnectionId id, std::string_view name, std::string_view payload);
    std::optional<AccountRequest> accountRequest(Connection& c, std::string_view name, std::string_view payload,
                                                 std::string& refusal) const;
    bool ratingAsk(ConnectionId id, std::string_view name, std::string_view payload);
    bool mayAsk(Connection& c);
    // Whether `name` is an account that connection `id` is not logged in to.
    bool othersAccount(ConnectionId id, std::string_view name) const;
    bool ownsName(ConnectionId id, std::string_view name) const;
    std::string ratingLine(const std::string& name) override;
    // What the lobby asks of the tables.
    void sendLobby(ConnectionId id, std::string_view bytes) override { out_.send(id, bytes); }
    std::optional<protocol::lobby::Lobbytable> lobbyLine(TableId table) const override;
    std::vector<TableId> publicTables() const override;
    Whereabouts whereabouts(TableId table, int seat) const override;
    // What a table asks of the server about names beyond it.
    bool nameTaken(const Entry& e, ConnectionId id, int seat, std::string_view name) const;

    TablesOutput& out_;
    const dictionary::TDictn& spell_;
    Options options_;
    std::shared_ptr<const std::vector<std::string>> words_;
    std::int64_t now_ = 0;
    TableId nextTable_ = 1;

    std::unordered_map<ConnectionId, Connection> connections_;
    std::unordered_map<std::string, std::vector<ConnectionId>> byAddress_;
    std::map<TableId, std::unique_ptr<Entry>> tables_;
    std::map<std::string, TableId> byKey_;  // name key -> public table
    std::map<std::string, TableId> byCode_;  // invite code -> private table
    std::set<std::pair<std::int64_t, TableId>> waits_;  // made tables waiting for a first connection
    std::shared_ptr<Random> inviteRandom_;
    Lobby lobby_;
    bool watchChanges_ = false;
    std::set<TableId> changes_;             // public tables touched since takeChanges()
    std::set<TableId> busy_;                // tables with lines waiting
    std::set<TableId> maybeEmpty_;          // tables that lost a connection
    AccountBook* book_ = nullptr;
    std::uint64_t nextRequest_ = 1;
    std::map<std::uint64_t, Request> requests_;  // requests out, by serial
    std::set<Deadline> choose_;             // connections not seated yet
    std::set<Deadline> logins_;             // seated connections' login deadlines
    std::set<ClockDue> clocks_;             // tables' running clocks
};

}  // namespace quorbit::server
