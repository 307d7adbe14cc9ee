#include "app/server/accountdesk.h"

#include <QDateTime>
#include <QMetaObject>

#include <utility>

#include "app/store/passwords.h"
#include "app/store/store.h"
#include "protocol/limits.h"

namespace quorbit::serverhost {

namespace text = server::accounttext;
using Kind = server::AccountRequest::Kind;
using RatingModel = protocol::accounts::RatingModel;

namespace {

std::int64_t nowSeconds() { return QDateTime::currentSecsSinceEpoch(); }

std::string keyOf(std::string_view name) { return protocol::nameKey(protocol::cleanName(name)); }

}  // namespace

AccountDesk::AccountDesk(store::Store& store, Answer answer, QObject* parent)
    : QObject(parent), store_(store), answer_(std::move(answer)) {}

AccountDesk::~AccountDesk() { pool_.waitForDone(); }

template <typename R>
void AccountDesk::offLoop(std::function<R()> work, std::function<void(const R&)> then) {
    pool_.start([this, work = std::move(work), then = std::move(then)] {
        const R result = work();
        // Queued to this object: dropped if it is gone by then (it waits for the pool first).
        QMetaObject::invokeMethod(this, [then, result] { then(result); }, Qt::QueuedConnection);
    });
}

void AccountDesk::reply(std::uint64_t serial, server::AccountAnswer answer) {
    QMetaObject::invokeMethod(
        this, [this, serial, answer = std::move(answer)] { answer_(serial, answer); }, Qt::QueuedConnection);
}

void AccountDesk::refuse(std::uint64_t serial, std::string_view why) {
    reply(serial, {server::AccountAnswer::Kind::Refused, "", "", std::string(why)});
}

void AccountDesk::loggedIn(std::uint64_t serial, const std::string& name) {
    const std::optional<std::string> shown = store_.accountName(name);
    const std::optional<std::string> token = shown ? store_.openSession(*shown, nowSeconds()) : std::nullopt;
    if (!token) return refuse(serial, text::kNotStored);
    reply(serial, {server::AccountAnswer::Kind::LoggedIn, *shown, *token, ""});
}

std::int64_t AccountDesk::throttled(const server::AccountRequest& r) {
    return store_.throttle().waitMs(keyOf(r.name), r.address, r.nowMs);
}

void AccountDesk::ask(const server::AccountRequest& r) {
    switch (r.kind) {
    case Kind::Register: return registerAccount(r);
    case Kind::Login: return login(r);
    case Kind::Resume: return resume(r);
    case Kind::NewPassword:
    case Kind::Delete: return withPassword(r);
    }
}

void AccountDesk::registerAccount(const server::AccountRequest& r) {
    if (store_.hasAccount(r.name)) return refuse(r.serial, text::kNameRegistered);
    offLoop<std::string>([password = r.password] { return store::hashPassword(password).value_or(std::string()); },
                         [this, r](const std::string& hash) {
                             if (hash.empty()) return refuse(r.serial, text::kNotStored);
                             switch (store_.addAccount(r.name, hash, nowSeconds())) {
                             case store::Store::Registered::Created: return loggedIn(r.serial, r.name);
                             case store::Store::Registered::Taken: return refuse(r.serial, text::kNameRegistered);
                             case store::Store::Registered::BadName: return refuse(r.serial, text::kBadName);
                             case store::Store::Registered::BadPassword:
                                 return refuse(r.serial, text::kPasswordLength);
                             case store::Store::Registered::Failed: return refuse(r.serial, text::kNotStored);
                             }
                         });
}

void AccountDesk::login(const server::AccountRequest& r) {
    if (const std::int64_t wait = throttled(r); wait > 0) return refuse(r.serial, text::tooManyFailures(wait));
    // A name without an account is checked against a hash all the same, so that how long
    // a refusal takes does not tell which names have accounts.
    const std::optional<std::string> hash = store_.passwordHash(r.name);
    offLoop<bool>(
        [stored = hash.value_or(store::noAccountsHash()), exists = hash.has_value(), password = r.password] {
            return store::passwordMatches(stored, password) && exists;
        },
        [this, r](const bool& ok) {
            if (!ok) {
                store_.throttle().failed(keyOf(r.name), r.address, r.nowMs);
                return refuse(r.serial, text::kWrongLogin);
            }
            store_.throttle().succeeded(keyOf(r.name), r.address);
            loggedIn(r.serial, r.name);
        });
}

void AccountDesk::resume(const server::AccountRequest& r) {
    const std::optional<std::string> name = store_.sessionAccount(r.token, nowSeconds());
    if (!name) return refuse(r.serial, text::kWrongLogin);
    reply(r.serial, {server::AccountAnswer::Kind::LoggedIn, *name, r.token, ""});
}

void AccountDesk::withPassword(const server::AccountRequest& r) {
    if (const std::int64_t wait = throttled(r); wait > 0) return refuse(r.serial, text::tooManyFailures(wait));
    const std::optional<std::string> hash = store_.passwordHash(r.name);
    if (!hash) return refuse(r.serial, text::kWrongPassword);  // deleted meanwhile
    const bool changing = r.kind == Kind::NewPassword;
    // The work's result: "" for a wrong password, "-" for a new hash that could not be
    // made, else the new hash (or "ok" for a deletion).
    offLoop<std::string>(
        [stored = *hash, old = r.password, fresh = r.newPassword, changing]() -> std::string {
            if (!store::passwordMatches(stored, old)) return "";
            if (!changing) return "ok";
            return store::hashPassword(fresh).value_or("-");
        },
        [this, r, changing](const std::string& result) {
            if (result.empty()) {
                store_.throttle().failed(keyOf(r.name), r.address, r.nowMs);
                return refuse(r.serial, text::kWrongPassword);
            }
            store_.throttle().succeeded(keyOf(r.name), r.address);
            const bool stored = changing ? result != "-" && store_.setPasswordHash(r.name, result, r.token)
                                         : store_.deleteAccount(r.name);
            if (!stored) return refuse(r.serial, text::kNotStored);
            reply(r.serial, {server::AccountAnswer::Kind::Done, "", "",
                             std::string(changing ? text::kPasswordChanged : text::kDeleted)});
        });
}

// ---- look-ups, answered at once --------------------------------------------------------

bool AccountDesk::registered(std::string_view name) { return store_.hasAccount(std::string(name)); }

std::optional<server::PersonRatings> AccountDesk::ratings(std::string_view name) {
    const std::optional<store::AccountRating> r = store_.rating(std::string(name));
    if (!r) return std::nullopt;
    server::PersonRatings p;
    if (r->glickoGames > 0) p.duel = r->glicko.rating;
    if (r->wenglinGames > 0) p.group = r->wenglin.ordinal();
    p.games = r->games;
    return p;
}

std::vector<server::LeaderRow> AccountDesk::top(RatingModel model, int count) {
    const bool duel = model == RatingModel::Duel;
    std::vector<server::LeaderRow> rows;
    for (const store::AccountRating& r : store_.top(duel ? rating::Model::Glicko2 : rating::Model::WengLin, count))
        rows.push_back({r.name, duel ? r.glicko.rating : r.wenglin.ordinal(), duel ? r.glickoGames : r.wenglinGames});
    return rows;
}

std::optional<server::PersonHistory> AccountDesk::history(std::string_view name, int count) {
    const std::optional<std::string> shown = store_.accountName(std::string(name));
    if (!shown) return std::nullopt;
    server::PersonHistory h{*shown, {}};
    for (const store::HistoryEntry& e : store_.history(*shown, count)) {
        const bool duel = e.model == rating::Model::Glicko2;
        if (!duel && e.model != rating::Model::WengLin) continue;
        h.games.push_back({e.game, e.finished, duel ? RatingModel::Duel : RatingModel::Group,
                           duel ? e.glickoBefore.rating : e.wenglinBefore.ordinal(),
                           duel ? e.glickoAfter.rating : e.wenglinAfter.ordinal()});
    }
    return h;
}

}  // namespace quorbit::serverhost
