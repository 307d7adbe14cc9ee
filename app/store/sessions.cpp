// Sessions: tokens that log an account's other connections in without the password, kept
// in the database only as their SHA-256, so that servers sharing it take each other's.
#include <QSqlError>
#include <QSqlQuery>
#include <QVariant>

#include <sodium.h>

#include "app/store/store.h"
#include "protocol/account_messages.h"
#include "protocol/limits.h"

namespace quorbit::store {

QString sessionHash(const std::string& token) {
    unsigned char digest[crypto_hash_sha256_BYTES];
    crypto_hash_sha256(digest, reinterpret_cast<const unsigned char*>(token.data()), token.size());
    char hex[crypto_hash_sha256_BYTES * 2 + 1];
    sodium_bin2hex(hex, sizeof hex, digest, sizeof digest);
    return QString::fromLatin1(hex);
}

namespace {

// A token drawn from the system's randomness, evenly over its alphabet.
std::string newToken() {
    const std::string_view alphabet = protocol::accounts::kTokenAlphabet;
    std::string token;
    for (std::size_t i = 0; i < protocol::accounts::kTokenChars; ++i)
        token += alphabet[randombytes_uniform(static_cast<std::uint32_t>(alphabet.size()))];
    return token;
}

}  // namespace

std::optional<std::string> Store::openSession(const std::string& name, std::int64_t nowSeconds) {
    if (sodium_init() < 0) return std::nullopt;
    const QString key = QString::fromStdString(protocol::nameKey(protocol::cleanName(name)));
    QSqlQuery q(db_);
    q.prepare("DELETE FROM sessions WHERE expires <= ?");
    q.addBindValue(static_cast<qlonglong>(nowSeconds));
    q.exec();  // only housekeeping: a failure leaves old rows that no lookup takes
    const std::string token = newToken();
    q.prepare("INSERT INTO sessions (token_hash, name_key, expires) VALUES (?, ?, ?)");
    q.addBindValue(sessionHash(token));
    q.addBindValue(key);
    q.addBindValue(static_cast<qlonglong>(nowSeconds + kSessionSeconds));
    if (!q.exec()) {
        fail("cannot keep a session: " + q.lastError().text());
        return std::nullopt;
    }
    return token;
}

std::optional<std::string> Store::sessionAccount(const std::string& token, std::int64_t nowSeconds) {
    if (!protocol::accounts::tokenShaped(token) || sodium_init() < 0) return std::nullopt;
    QSqlQuery q(db_);
    q.prepare("SELECT a.shown_name FROM sessions s JOIN accounts a ON a.name_key = s.name_key"
              " WHERE s.token_hash = ? AND s.expires > ?");
    q.addBindValue(sessionHash(token));
    q.addBindValue(static_cast<qlonglong>(nowSeconds));
    if (!q.exec() || !q.next()) return std::nullopt;
    return q.value(0).toString().toStdString();
}

}  // namespace quorbit::store
