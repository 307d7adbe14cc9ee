// Accounts: registering a name, checking and changing its password, deleting it.
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include "app/store/passwords.h"
#include "app/store/store.h"
#include "protocol/limits.h"
#include "rating/game_rating.h"
#include "rules/seats.h"

namespace quorbit::store {
namespace {

QString qs(const std::string& s) { return QString::fromStdString(s); }

std::optional<std::string> storedHash(QSqlDatabase& db, const std::string& key) {
    QSqlQuery q(db);
    q.prepare("SELECT password_hash FROM accounts WHERE name_key = ?");
    q.addBindValue(qs(key));
    if (!q.exec() || !q.next()) return std::nullopt;
    return q.value(0).toString().toStdString();
}

}  // namespace


Store::Registered Store::registerAccount(const std::string& name, const std::string& password,
                                         std::int64_t nowSeconds) {
    const std::string shown = protocol::cleanName(name);
    const std::string key = protocol::nameKey(shown);
    // The computer's name belongs to the computer.
    if (!protocol::usableName(shown) || key.empty() || protocol::sameName(shown, rules::kComputerName))
        return Registered::BadName;
    if (!acceptablePassword(password)) return Registered::BadPassword;
    if (hasAccount(shown)) return Registered::Taken;
    const auto hash = hashPassword(password);
    if (!hash) {
        error_ = "the password could not be hashed";
        return Registered::Failed;
    }
    return addAccount(shown, *hash, nowSeconds);
}

Store::Registered Store::addAccount(const std::string& name, const std::string& hash, std::int64_t nowSeconds) {
    const std::string shown = protocol::cleanName(name);
    const std::string key = protocol::nameKey(shown);
    if (!protocol::usableName(shown) || key.empty() || protocol::sameName(shown, rules::kComputerName))
        return Registered::BadName;
    if (!begin()) return Registered::Failed;
    QSqlQuery q(db_);
    q.prepare("INSERT INTO accounts (name_key, shown_name, password_hash, created) VALUES (?, ?, ?, ?)");
    q.addBindValue(qs(key));
    q.addBindValue(qs(shown));
    q.addBindValue(qs(hash));
    q.addBindValue(static_cast<qlonglong>(nowSeconds));
    bool ok = q.exec();
    const bool taken = !ok && hasAccount(shown);  // registered meanwhile by another server
    if (ok) {
        const rating::Glicko2 g;
        const rating::WengLin w;
        q.prepare("INSERT INTO ratings (name_key, glicko_rating, glicko_deviation, glicko_volatility, glicko_games,"
                  " wl_mu, wl_sigma, wl_ordinal, wl_games, games) VALUES (?, ?, ?, ?, 0, ?, ?, ?, 0, 0)");
        for (const QVariant& v : {QVariant(qs(key)), QVariant(g.rating), QVariant(g.deviation), QVariant(g.volatility),
                                  QVariant(w.mu), QVariant(w.sigma), QVariant(w.ordinal())})
            q.addBindValue(v);
        ok = q.exec();
    }
    if (!ok) {
        error_ = q.lastError().text();
        db_.rollback();
        return taken ? Registered::Taken : Registered::Failed;
    }
    if (!db_.commit()) {
        error_ = db_.lastError().text();
        db_.rollback();
        return Registered::Failed;
    }
    return Registered::Created;
}

bool Store::hasAccount(const std::string& name) { return accountName(name).has_value(); }

std::optional<std::string> Store::accountName(const std::string& name) {
    const std::string key = protocol::nameKey(protocol::cleanName(name));
    if (key.empty()) return std::nullopt;
    QSqlQuery q(db_);
    q.prepare("SELECT shown_name FROM accounts WHERE name_key = ?");
    q.addBindValue(qs(key));
    if (!q.exec() || !q.next()) return std::nullopt;
    return q.value(0).toString().toStdString();
}

std::optional<std::string> Store::passwordHash(const std::string& name) {
    return storedHash(db_, protocol::nameKey(protocol::cleanName(name)));
}

bool Store::setPasswordHash(const std::string& name, const std::string& hash, const std::string& keepSession) {
    const QString key = qs(protocol::nameKey(protocol::cleanName(name)));
    if (!begin()) return false;
    QSqlQuery q(db_);
    q.prepare("UPDATE accounts SET password_hash = ? WHERE name_key = ?");
    q.addBindValue(qs(hash));
    q.addBindValue(key);
    bool ok = q.exec() && q.numRowsAffected() == 1;
    if (ok) {
        q.prepare("DELETE FROM sessions WHERE name_key = ? AND token_hash <> ?");
        q.addBindValue(key);
        q.addBindValue(sessionHash(keepSession));
        ok = q.exec();
    }
    if (!ok) {
        error_ = q.lastError().text();
        db_.rollback();
        return false;
    }
    return db_.commit() || (db_.rollback(), false);
}

bool Store::verify(const std::string& name, const std::string& password) {
    const auto hash = storedHash(db_, protocol::nameKey(protocol::cleanName(name)));
    if (!hash) {
        passwordMatches(noAccountsHash(), password);
        return false;
    }
    return passwordMatches(*hash, password);
}

Store::Login Store::login(const std::string& name, const std::string& password, const std::string& address,
                          std::int64_t nowMs, std::int64_t* waitMs) {
    const std::string key = protocol::nameKey(protocol::cleanName(name));
    if (const std::int64_t wait = throttle_.waitMs(key, address, nowMs); wait > 0) {
        if (waitMs) *waitMs = wait;
        return Login::Wait;
    }
    if (verify(name, password)) {
        throttle_.succeeded(key, address);
        return Login::Ok;
    }
    throttle_.failed(key, address, nowMs);
    return Login::Refused;
}

bool Store::changePassword(const std::string& name, const std::string& oldPassword, const std::string& newPassword) {
    if (!acceptablePassword(newPassword) || !verify(name, oldPassword)) return false;
    const auto hash = hashPassword(newPassword);
    return hash && setPasswordHash(name, *hash);
}

bool Store::deleteAccount(const std::string& name) {
    const std::string key = protocol::nameKey(protocol::cleanName(name));
    if (key.empty() || !begin()) return false;
    QSqlQuery q(db_);
    bool ok = true;
    int removed = 0;
    for (const char* statement :
         {"UPDATE game_players SET name = '', name_key = NULL WHERE name_key = ?",
          "DELETE FROM rating_history WHERE name_key = ?", "DELETE FROM sessions WHERE name_key = ?",
          "DELETE FROM ratings WHERE name_key = ?",
          "DELETE FROM accounts WHERE name_key = ?"}) {
        q.prepare(statement);
        q.addBindValue(qs(key));
        ok = ok && q.exec();
        removed = ok ? q.numRowsAffected() : 0;
    }
    if (!ok || removed != 1) {
        error_ = q.lastError().text();
        db_.rollback();
        return false;
    }
    return db_.commit() || (db_.rollback(), false);
}

}  // namespace quorbit::store
