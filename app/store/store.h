#pragma once
// Store: the table server's lasting state in SQL through Qt SQL: accounts, ratings,
// finished games with their players and rating changes, and the directory of tables.
// SQLite by default, PostgreSQL for servers that share one database (database_url.h).
//
// The schema is versioned (schema.cpp): opening brings an older database up to date one
// step at a time, each step in a transaction of its own, and refuses a database made by
// a newer program. A finished game, its players and every rating it changes are written
// in one transaction: a server stopped at any moment leaves the game either recorded
// whole or not at all.
//
// Names are compared as the table compares them (protocol::nameKey): an account is found
// by its name's key and shows the name as it was registered.
//
// One Store is used from one thread.
#include <QSqlDatabase>
#include <QString>

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "accounts/login_throttle.h"
#include "app/store/database_url.h"
#include "rating/game_rating.h"
#include "server/game_report.h"

namespace quorbit::store {

// The schema version this program writes.
inline constexpr int kSchemaVersion = 3;
// How long a session token logs in without the password.
inline constexpr std::int64_t kSessionSeconds = 12 * 60 * 60;

struct AccountRating {
    std::string name;  // as registered
    rating::Glicko2 glicko;
    rating::WengLin wenglin;
    int games = 0;
    int glickoGames = 0;   // of each model
    int wenglinGames = 0;
};

// One rated game in a player's history.
struct HistoryEntry {
    std::int64_t game = 0;
    std::int64_t finished = 0;  // seconds since 1970 (UTC)
    rating::Model model = rating::Model::Unrated;
    rating::Glicko2 glickoBefore, glickoAfter;
    rating::WengLin wenglinBefore, wenglinAfter;
};

struct TableEntry {
    std::string server;  // the address players reach its server at
    std::string table;
    int players = 0;
    int watchers = 0;
    bool running = false;
    int playTo = 0;
    std::string zubo;
    int seconds = 0;
    bool teams = false;
    int shuffles = 0;
    std::string language;
    friend bool operator==(const TableEntry&, const TableEntry&) = default;
};

// The channel on which servers sharing a PostgreSQL database hear of each other's
// directory writes; the payload is the writing server's address.
inline constexpr const char* kTablesChannel = "quorbit_tables";

// Text for the database: PostgreSQL's text holds no NUL character, so any is left out.
QString sqlText(const std::string& s);
// How a session token is kept: its SHA-256 in hexadecimal.
QString sessionHash(const std::string& token);

class Store {
public:
    Store();
    ~Store();
    Store(const Store&) = delete;
    Store& operator=(const Store&) = delete;

    // Opens (and brings up to date) the database `target` names. False with error() set.
    bool open(const DatabaseTarget& target);
    bool isOpen() const;
    const QString& error() const { return error_; }
    int schemaVersion();  // -1 when it cannot be read

    // ---- accounts (accounts.cpp) ----
    enum class Registered { Created, Taken, BadName, BadPassword, Failed };
    Registered registerAccount(const std::string& name, const std::string& password, std::int64_t nowSeconds);
    bool hasAccount(const std::string& name);
    // The account's name as registered, if there is one.
    std::optional<std::string> accountName(const std::string& name);
    bool verify(const std::string& name, const std::string& password);
    // A login as the server hears it, slowed per name and per address after failures.
    enum class Login { Ok, Refused, Wait };
    Login login(const std::string& name, const std::string& password, const std::string& address,
                std::int64_t nowMs, std::int64_t* waitMs = nullptr);
    // The pieces of the above for a host that hashes away from its database's thread: the
    // account's stored hash; an account made with a hash made already; a new hash set.
    std::optional<std::string> passwordHash(const std::string& name);
    Registered addAccount(const std::string& name, const std::string& hash, std::int64_t nowSeconds);
    // Sets the account's password hash and ends its sessions, all but `keepSession`'s (the
    // one of the connection that changed it): a token taken from the account's owner does
    // not outlive the password.
    bool setPasswordHash(const std::string& name, const std::string& hash, const std::string& keepSession = {});
    accounts::LoginThrottle& throttle() { return throttle_; }

    // ---- sessions (sessions.cpp) ----
    // A new session of the account: its token (kept only as its SHA-256), good for
    // kSessionSeconds; nothing when it cannot be stored. Sessions past their time go.
    std::optional<std::string> openSession(const std::string& name, std::int64_t nowSeconds);
    // The account (its name as registered) a token logs in to, while it is good.
    std::optional<std::string> sessionAccount(const std::string& token, std::int64_t nowSeconds);

    // Needs the old password.
    bool changePassword(const std::string& name, const std::string& oldPassword, const std::string& newPassword);
    // Removes the account, its ratings and its rating history, and its name from the
    // players of the games it played (they show an empty name from then on). The games
    // themselves stay, for the other players' histories.
    bool deleteAccount(const std::string& name);

    // ---- results (results.cpp) ----
    // Records a won game at table `table` with the record text an onlooker heard, and
    // rates it when every seat was a registered player or the computer. Its id, or nothing
    // when nothing was written (error() says why).
    std::optional<std::int64_t> recordGame(const std::string& table, const server::GameFinished& game,
                                           const std::string& record, std::int64_t nowSeconds);
    std::optional<AccountRating> rating(const std::string& name);
    // The best `count` rated accounts by the model's shown number (Glicko-2's rating;
    // Weng-Lin's cautious estimate), among those who played a game of that model.
    std::vector<AccountRating> top(rating::Model model, int count);
    // The account's rated games, the latest first.
    std::vector<HistoryEntry> history(const std::string& name, int count);
    std::int64_t gameCount();

    // ---- the table directory (directory.cpp) ----
    // A row per public table, keyed by its server's address and its name, with the time
    // it was last written or refreshed.
    bool putTable(const TableEntry& entry, std::int64_t nowSeconds);
    bool removeTable(const std::string& server, const std::string& table);
    // Every row of one server: at its start (what a killed predecessor left) and its stop.
    bool removeServer(const std::string& server);
    // Marks every row of the server as written at `nowSeconds`.
    bool refreshServer(const std::string& server, std::int64_t nowSeconds);
    std::vector<TableEntry> tables();  // every row
    // The rows written at `notBefore` or later: of one server, or (empty server) of all.
    std::vector<TableEntry> tables(std::int64_t notBefore, const std::string& server = {});
    // Tells the servers listening on kTablesChannel that `server` wrote (PostgreSQL; with
    // SQLite there is nobody to tell and it does nothing).
    bool notifyTables(const std::string& server);
    // Listens on kTablesChannel: the driver's notification signal fires for each write.
    // False with SQLite, or when the driver cannot.
    bool listenTables();

    QSqlDatabase& database() { return db_; }
    bool postgres() const { return postgres_; }

private:
    bool migrate();
    // Begins a transaction that writes: SQLite takes its write lock at once, so that a
    // transaction that has read never fails for want of it later.
    bool begin();
    bool fail(const QString& what);

    QString connection_;
    QSqlDatabase db_;
    bool postgres_ = false;
    QString error_;
    accounts::LoginThrottle throttle_;
};

}  // namespace quorbit::store
