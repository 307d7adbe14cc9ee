#include "app/store/schema.h"

namespace quorbit::store {

const std::vector<QStringList>& schemaSteps() {
    static const std::vector<QStringList> steps = {
        // 1: accounts, ratings, finished games, rating history, the table directory.
        {
            "CREATE TABLE accounts ("
            " name_key TEXT PRIMARY KEY,"
            " shown_name TEXT NOT NULL,"
            " password_hash TEXT NOT NULL,"
            " created BIGINT NOT NULL)",
            "CREATE TABLE ratings ("
            " name_key TEXT PRIMARY KEY REFERENCES accounts(name_key) ON DELETE CASCADE,"
            " glicko_rating DOUBLE PRECISION NOT NULL,"
            " glicko_deviation DOUBLE PRECISION NOT NULL,"
            " glicko_volatility DOUBLE PRECISION NOT NULL,"
            " glicko_games INTEGER NOT NULL,"
            " wl_mu DOUBLE PRECISION NOT NULL,"
            " wl_sigma DOUBLE PRECISION NOT NULL,"
            " wl_ordinal DOUBLE PRECISION NOT NULL,"
            " wl_games INTEGER NOT NULL,"
            " games INTEGER NOT NULL)",
            "CREATE INDEX ratings_by_glicko ON ratings (glicko_rating DESC) WHERE glicko_games > 0",
            "CREATE INDEX ratings_by_wenglin ON ratings (wl_ordinal DESC) WHERE wl_games > 0",
            "CREATE TABLE games ("
            " id %ID%,"
            " finished BIGINT NOT NULL,"
            " table_name TEXT NOT NULL,"
            " team_game INTEGER NOT NULL,"
            " team_a INTEGER NOT NULL,"
            " team_b INTEGER NOT NULL,"
            " play_to INTEGER NOT NULL,"
            " winner TEXT NOT NULL,"
            " language TEXT NOT NULL,"
            " model TEXT NOT NULL,"
            " record TEXT NOT NULL)",
            "CREATE TABLE game_players ("
            " game_id BIGINT NOT NULL REFERENCES games(id) ON DELETE CASCADE,"
            " seat INTEGER NOT NULL,"
            " name TEXT NOT NULL,"
            " name_key TEXT REFERENCES accounts(name_key) ON DELETE SET NULL,"
            " player TEXT NOT NULL,"
            " zubo TEXT NOT NULL,"
            " team INTEGER NOT NULL,"
            " score INTEGER NOT NULL,"
            " PRIMARY KEY (game_id, seat))",
            "CREATE INDEX game_players_by_account ON game_players (name_key, game_id)",
            "CREATE TABLE rating_history ("
            " name_key TEXT NOT NULL REFERENCES accounts(name_key) ON DELETE CASCADE,"
            " game_id BIGINT NOT NULL REFERENCES games(id) ON DELETE CASCADE,"
            " model TEXT NOT NULL,"
            " rating_before DOUBLE PRECISION NOT NULL,"
            " rating_after DOUBLE PRECISION NOT NULL,"
            " deviation_before DOUBLE PRECISION NOT NULL,"
            " deviation_after DOUBLE PRECISION NOT NULL,"
            " volatility_before DOUBLE PRECISION NOT NULL,"
            " volatility_after DOUBLE PRECISION NOT NULL,"
            " mu_before DOUBLE PRECISION NOT NULL,"
            " mu_after DOUBLE PRECISION NOT NULL,"
            " sigma_before DOUBLE PRECISION NOT NULL,"
            " sigma_after DOUBLE PRECISION NOT NULL,"
            " PRIMARY KEY (name_key, game_id))",
            "CREATE TABLE table_directory ("
            " server TEXT NOT NULL,"
            " table_name TEXT NOT NULL,"
            " players INTEGER NOT NULL,"
            " watchers INTEGER NOT NULL,"
            " running INTEGER NOT NULL,"
            " play_to INTEGER NOT NULL,"
            " zubo TEXT NOT NULL,"
            " updated BIGINT NOT NULL,"
            " PRIMARY KEY (server, table_name))",
        },
        // 2: session tokens (their SHA-256 in hexadecimal), so that servers sharing the
        // database take each other's.
        {
            "CREATE TABLE sessions ("
            " token_hash TEXT PRIMARY KEY,"
            " name_key TEXT NOT NULL REFERENCES accounts(name_key) ON DELETE CASCADE,"
            " expires BIGINT NOT NULL)",
            "CREATE INDEX sessions_by_account ON sessions (name_key)",
            "CREATE INDEX sessions_by_expiry ON sessions (expires)",
        },
        // 3: the rest of a table's line in the lobby, for the other servers' lobbies.
        {
            "ALTER TABLE table_directory ADD COLUMN seconds INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE table_directory ADD COLUMN teams INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE table_directory ADD COLUMN shuffles INTEGER NOT NULL DEFAULT 0",
            "ALTER TABLE table_directory ADD COLUMN language TEXT NOT NULL DEFAULT ''",
        },
    };
    return steps;
}

}  // namespace quorbit::store
