// Finished games and the ratings they change, the leaderboard and a player's history.
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "app/store/store.h"
#include "protocol/limits.h"
#include "rules/seats.h"

namespace quorbit::store {
namespace {

const char* modelName(rating::Model m) {
    switch (m) {
    case rating::Model::Glicko2: return "glicko2";
    case rating::Model::WengLin: return "wenglin";
    case rating::Model::Unrated: break;
    }
    return "";
}

rating::Model modelOf(const QString& name) {
    if (name == "glicko2") return rating::Model::Glicko2;
    if (name == "wenglin") return rating::Model::WengLin;
    return rating::Model::Unrated;
}

const char* playerName(server::SeatResult::Player p) {
    switch (p) {
    case server::SeatResult::Player::Computer: return "computer";
    case server::SeatResult::Player::Watching: return "watching";
    case server::SeatResult::Player::Person: break;
    }
    return "person";
}

void bindAll(QSqlQuery& q, std::initializer_list<QVariant> values) {
    for (const QVariant& v : values) q.addBindValue(v);
}

constexpr const char* kRatingColumns =
    "a.shown_name, r.glicko_rating, r.glicko_deviation, r.glicko_volatility, r.wl_mu, r.wl_sigma, r.games,"
    " r.glicko_games, r.wl_games";

AccountRating ratingRow(const QSqlQuery& q) {
    AccountRating r;
    r.name = q.value(0).toString().toStdString();
    r.glicko = {q.value(1).toDouble(), q.value(2).toDouble(), q.value(3).toDouble()};
    r.wenglin = {q.value(4).toDouble(), q.value(5).toDouble()};
    r.games = q.value(6).toInt();
    r.glickoGames = q.value(7).toInt();
    r.wenglinGames = q.value(8).toInt();
    return r;
}

// One seat as the rating sees it, and the account it belongs to.
struct Participant {
    rating::Rated rated;
    QVariant key;        // the account's key, or null for a guest or the computer
    bool guest = false;  // a person with no account, or one who was just watching
};

}  // namespace

std::optional<AccountRating> Store::rating(const std::string& name) {
    QSqlQuery q(db_);
    q.prepare(QString("SELECT %1 FROM ratings r JOIN accounts a ON a.name_key = r.name_key WHERE r.name_key = ?")
                  .arg(kRatingColumns));
    q.addBindValue(sqlText(protocol::nameKey(protocol::cleanName(name))));
    if (!q.exec() || !q.next()) return std::nullopt;
    return ratingRow(q);
}

std::optional<std::int64_t> Store::recordGame(const std::string& table, const server::GameFinished& game,
                                              const std::string& record, std::int64_t nowSeconds) {
    if (!begin()) {
        fail("cannot begin a transaction: " + db_.lastError().text());
        return std::nullopt;
    }
    QSqlQuery q(db_);
    auto abort = [&](const QString& what) -> std::optional<std::int64_t> {
        fail(what + ": " + q.lastError().text());
        db_.rollback();
        return std::nullopt;
    };

    std::vector<Participant> seats;
    std::vector<rating::Rated> rated;
    std::size_t guests = 0;
    for (const server::SeatResult& s : game.seats) {
        Participant p;
        p.rated.side = game.team ? s.team : s.seat;
        p.rated.score = game.team ? (s.team == rules::kTeamA ? game.teamA : game.teamB) : s.score;
        if (s.player == server::SeatResult::Player::Computer) {
            p.rated.fixed = true;
            p.rated.glicko = rating::computerGlicko(s.zubo);
            p.rated.wenglin = rating::computerWengLin(s.zubo);
        } else {
            const QString key = sqlText(protocol::nameKey(protocol::cleanName(s.name)));
            // Another server sharing the database may rate the same player at once.
            q.prepare(QString("SELECT glicko_rating, glicko_deviation, glicko_volatility, wl_mu, wl_sigma"
                              " FROM ratings WHERE name_key = ?%1")
                          .arg(postgres_ ? " FOR UPDATE" : ""));
            q.addBindValue(key);
            if (!q.exec()) return abort("cannot read a rating");
            if (q.next()) {
                p.key = key;
                p.rated.glicko = {q.value(0).toDouble(), q.value(1).toDouble(), q.value(2).toDouble()};
                p.rated.wenglin = {q.value(3).toDouble(), q.value(4).toDouble()};
            }
            p.guest = p.key.isNull() || s.player == server::SeatResult::Player::Watching;
            if (p.guest) ++guests;
        }
        rated.push_back(p.rated);
        seats.push_back(std::move(p));
    }
    const rating::Outcome outcome = rating::rateGame(rated, guests);

    q.prepare("INSERT INTO games (finished, table_name, team_game, team_a, team_b, play_to, winner, language, model,"
              " record) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?) RETURNING id");
    bindAll(q, {static_cast<qlonglong>(nowSeconds), sqlText(table), game.team ? 1 : 0, game.teamA, game.teamB,
                game.playTo, sqlText(game.winner), sqlText(game.language), modelName(outcome.model), sqlText(record)});
    if (!q.exec() || !q.next()) return abort("cannot record the game");
    const qlonglong id = q.value(0).toLongLong();
    q.finish();

    for (std::size_t i = 0; i < seats.size(); ++i) {
        const server::SeatResult& s = game.seats[i];
        q.prepare("INSERT INTO game_players (game_id, seat, name, name_key, player, zubo, team, score)"
                  " VALUES (?, ?, ?, ?, ?, ?, ?, ?)");
        bindAll(q, {id, s.seat, sqlText(s.name), seats[i].key, playerName(s.player),
                    QString::fromUtf8(rules::zuboLevelName(s.zubo)), s.team, s.score});
        if (!q.exec()) return abort("cannot record a player");
        if (outcome.model == rating::Model::Unrated || seats[i].rated.fixed) continue;

        const rating::Glicko2& g0 = rated[i].glicko;
        const rating::WengLin& w0 = rated[i].wenglin;
        const rating::Glicko2& g1 = outcome.glicko[i];
        const rating::WengLin& w1 = outcome.wenglin[i];
        const bool glicko = outcome.model == rating::Model::Glicko2;
        q.prepare(QString("UPDATE ratings SET glicko_rating = ?, glicko_deviation = ?, glicko_volatility = ?,"
                          " wl_mu = ?, wl_sigma = ?, wl_ordinal = ?, %1 = %1 + 1, games = games + 1"
                          " WHERE name_key = ?")
                      .arg(glicko ? "glicko_games" : "wl_games"));
        bindAll(q, {g1.rating, g1.deviation, g1.volatility, w1.mu, w1.sigma, w1.ordinal(), seats[i].key});
        if (!q.exec()) return abort("cannot change a rating");
        q.prepare("INSERT INTO rating_history (name_key, game_id, model, rating_before, rating_after,"
                  " deviation_before, deviation_after, volatility_before, volatility_after, mu_before, mu_after,"
                  " sigma_before, sigma_after) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)");
        bindAll(q, {seats[i].key, id, modelName(outcome.model), g0.rating, g1.rating, g0.deviation, g1.deviation,
                    g0.volatility, g1.volatility, w0.mu, w1.mu, w0.sigma, w1.sigma});
        if (!q.exec()) return abort("cannot record a rating change");
    }
    if (!db_.commit()) {
        fail("cannot commit the game: " + db_.lastError().text());
        db_.rollback();
        return std::nullopt;
    }
    return id;
}

std::vector<AccountRating> Store::top(rating::Model model, int count) {
    std::vector<AccountRating> out;
    if (model == rating::Model::Unrated) return out;
    QSqlQuery q(db_);
    q.prepare(QString("SELECT %1 FROM ratings r JOIN accounts a ON a.name_key = r.name_key WHERE %2 > 0"
                      " ORDER BY %3 DESC LIMIT ?")
                  .arg(kRatingColumns)
                  .arg(model == rating::Model::Glicko2 ? "r.glicko_games" : "r.wl_games")
                  .arg(model == rating::Model::Glicko2 ? "r.glicko_rating" : "r.wl_ordinal"));
    q.addBindValue(count);
    if (!q.exec()) return out;
    while (q.next()) out.push_back(ratingRow(q));
    return out;
}

std::vector<HistoryEntry> Store::history(const std::string& name, int count) {
    std::vector<HistoryEntry> out;
    QSqlQuery q(db_);
    q.prepare("SELECT h.game_id, g.finished, h.model, h.rating_before, h.rating_after, h.deviation_before,"
              " h.deviation_after, h.volatility_before, h.volatility_after, h.mu_before, h.mu_after,"
              " h.sigma_before, h.sigma_after FROM rating_history h JOIN games g ON g.id = h.game_id"
              " WHERE h.name_key = ? ORDER BY h.game_id DESC LIMIT ?");
    q.addBindValue(sqlText(protocol::nameKey(protocol::cleanName(name))));
    q.addBindValue(count);
    if (!q.exec()) return out;
    while (q.next()) {
        HistoryEntry e;
        e.game = q.value(0).toLongLong();
        e.finished = q.value(1).toLongLong();
        e.model = modelOf(q.value(2).toString());
        e.glickoBefore = {q.value(3).toDouble(), q.value(5).toDouble(), q.value(7).toDouble()};
        e.glickoAfter = {q.value(4).toDouble(), q.value(6).toDouble(), q.value(8).toDouble()};
        e.wenglinBefore = {q.value(9).toDouble(), q.value(11).toDouble()};
        e.wenglinAfter = {q.value(10).toDouble(), q.value(12).toDouble()};
        out.push_back(e);
    }
    return out;
}

std::int64_t Store::gameCount() {
    QSqlQuery q(db_);
    if (!q.exec("SELECT COUNT(*) FROM games") || !q.next()) return -1;
    return q.value(0).toLongLong();
}

}  // namespace quorbit::store
