// TableServer and accounts: the account messages and their answers, whose names are whose,
// and the ratings told in the lobby.
#include <algorithm>
#include <cmath>
#include <string>

#include "common/numbers.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "rules/seats.h"
#include "server/table_entry.h"
#include "server/tables.h"

namespace quorbit::server {

namespace names = protocol::names;
namespace acc = protocol::accounts;
using protocol::frame;

namespace {

// How many leaderboards and histories one connection may ask for within kAskWindowMs.
constexpr std::size_t kAsksPerWindow = 10;
constexpr std::int64_t kAskWindowMs = 60 * 1000;

}  // namespace

std::string accounttext::tooManyFailures(std::int64_t waitMs) {
    const std::int64_t seconds = std::max<std::int64_t>(1, (waitMs + 999) / 1000);
    return "Too many failed logins: try again in " + std::to_string(seconds) + " seconds.";
}

bool TableServer::accountName(std::string_view name) {
    return std::find(names::kAccountHears.begin(), names::kAccountHears.end(), name) != names::kAccountHears.end();
}

std::string TableServer::account(ConnectionId id) const {
    const auto c = connections_.find(id);
    return c == connections_.end() ? std::string() : c->second.account;
}

bool TableServer::ownsName(ConnectionId id, std::string_view name) const {
    const auto c = connections_.find(id);
    return c != connections_.end() && !c->second.account.empty() && protocol::sameName(c->second.account, name);
}

bool TableServer::othersAccount(ConnectionId id, std::string_view name) const {
    return book_ && !ownsName(id, name) && book_->registered(name);
}

// ---- the account messages --------------------------------------------------------------

void TableServer::accountMessage(ConnectionId id, std::string_view name, std::string_view payload) {
    const auto it = connections_.find(id);
    if (it == connections_.end()) return;
    Connection& c = it->second;
    std::string refusal;
    std::optional<AccountRequest> request;
    if (!c.encrypted) {
        refusal = accounttext::kPlain;  // nothing of it is read
    } else {
        try {
            request = accountRequest(c, name, payload, refusal);
        } catch (const ConversionError&) {
            return;  // a password field that is not hexadecimal: the message is void
        }
    }
    if (!request) {
        out_.send(id, frame(acc::Accountrefused{refusal}.format()));
        return;
    }
    request->serial = nextRequest_++;
    request->id = id;
    request->address = c.address;
    request->nowMs = now_;
    c.asking = request->serial;
    requests_[request->serial] = Request{id, request->kind};
    if (c.inLobby) lobby_.hold(id, true);
    book_->ask(*request);
}

// The request an account message makes, or nothing with the refusal to answer at once.
std::optional<AccountRequest> TableServer::accountRequest(Connection& c, std::string_view name,
                                                          std::string_view payload, std::string& refusal) const {
    using Kind = AccountRequest::Kind;
    AccountRequest r;
    const bool loggingIn = name == names::registeraccount || name == names::login || name == names::resume;
    if (name == names::registeraccount) {
        const acc::Register m = acc::Register::parse(payload);
        r.kind = Kind::Register;
        r.name = protocol::cleanName(m.name);
        r.password = m.password;
    } else if (name == names::login) {
        const acc::Login m = acc::Login::parse(payload);
        r.kind = Kind::Login;
        r.name = protocol::cleanName(m.name);
        r.password = m.password;
    } else if (name == names::resume) {
        r.kind = Kind::Resume;
        r.token = acc::Resume::parse(payload).token;
    } else if (name == names::newpassword) {
        const acc::Newpassword m = acc::Newpassword::parse(payload);
        r.kind = Kind::NewPassword;
        r.password = m.oldPassword;
        r.newPassword = m.newPassword;
    } else {
        r.kind = Kind::Delete;
        r.password = acc::Deleteaccount::parse(payload).password;
    }
    r.name = loggingIn ? r.name : c.account;
    if (r.kind == Kind::NewPassword) r.token = c.session;
    if (!book_)
        refusal = accounttext::kNoAccounts;
    else if (loggingIn && !c.account.empty())
        refusal = accounttext::kLoggedInAlready;
    else if (!loggingIn && c.account.empty())
        refusal = accounttext::kNotLoggedIn;
    else if (r.kind == Kind::Register &&
             (!protocol::usableName(r.name) || protocol::sameName(r.name, rules::kComputerName)))
        refusal = accounttext::kBadName;
    // A guest seated under the name, or in the lobby from another address, would otherwise
    // play on under a name that is now somebody's account, and its games count for it.
    else if (r.kind == Kind::Register && lobby_.taken(r.name, c.address, 0, 0, false))
        refusal = accounttext::kNameInUse;
    else if ((r.kind == Kind::Register && !acc::passwordLengthOk(r.password)) ||
             (r.kind == Kind::NewPassword && !acc::passwordLengthOk(r.newPassword)))
        refusal = accounttext::kPasswordLength;
    // No account has a password of another length, nor a token of another shape.
    else if ((r.kind == Kind::Login && !acc::passwordLengthOk(r.password)) ||
             (r.kind == Kind::Resume && !acc::tokenShaped(r.token)))
        refusal = accounttext::kWrongLogin;
    if (!refusal.empty()) return std::nullopt;
    return r;
}

void TableServer::accountAnswered(std::uint64_t serial, const AccountAnswer& answer, std::int64_t nowMs) {
    now_ = nowMs;
    const auto r = requests_.find(serial);
    if (r == requests_.end()) return;
    const Request request = r->second;
    requests_.erase(r);
    const auto it = connections_.find(request.id);
    if (it == connections_.end() || it->second.asking != serial) return;
    Connection& c = it->second;
    c.asking = 0;
    const ConnectionId id = request.id;
    switch (answer.kind) {
    case AccountAnswer::Kind::LoggedIn:
        c.account = answer.name;
        c.session = answer.token;
        out_.logAbout(id, "connection " + std::to_string(id) + " logged in to the account \"" + answer.name + "\"");
        out_.send(id, frame(acc::Loggedin{answer.name, answer.token}.format()));
        break;
    case AccountAnswer::Kind::Done:
        if (request.kind == AccountRequest::Kind::Delete) {
            out_.logAbout(id, "connection " + std::to_string(id) + " deleted the account \"" + c.account + "\"");
            c.account.clear();
        }
        out_.send(id, frame(acc::Accountdone{answer.text}.format()));
        break;
    case AccountAnswer::Kind::Refused:
        out_.send(id, frame(acc::Accountrefused{answer.text}.format()));
        break;
    }
    // Its lines waited for the answer.
    if (c.inLobby)
        lobby_.hold(id, false);
    else if (c.table == 0)
        lobbyLines(id);
    sweep();
}

// ---- ratings in the lobby --------------------------------------------------------------

bool TableServer::mayAsk(Connection& c) {
    while (!c.asks.empty() && now_ - c.asks.front() >= kAskWindowMs) c.asks.pop_front();
    if (c.asks.size() >= kAsksPerWindow) return false;
    c.asks.push_back(now_);
    return true;
}

bool TableServer::ratingAsk(ConnectionId id, std::string_view name, std::string_view payload) {
    if (name != names::leaderboard && name != names::history) return false;
    const auto it = connections_.find(id);
    if (it == connections_.end() || !mayAsk(it->second)) return true;
    if (name == names::leaderboard) {
        acc::Leaderboard m;
        try {
            m = acc::Leaderboard::parse(payload);
        } catch (const ConversionError&) {
            return true;
        }
        const std::vector<LeaderRow> rows = book_ ? book_->top(m.model, acc::kLeaderLines) : std::vector<LeaderRow>();
        int rank = 0;
        for (const LeaderRow& row : rows) {
            if (rank == acc::kLeaderLines) break;
            ++rank;
            out_.send(id, frame(acc::Leader{m.model, rank, row.name, row.rating, row.games}.format()));
        }
        out_.send(id, frame(acc::Leaderend{m.model, rank}.format()));
        return true;
    }
    const acc::History m = acc::History::parse(payload);
    const std::optional<PersonHistory> h = book_ ? book_->history(m.name, acc::kHistoryLines) : std::nullopt;
    if (!h) {
        out_.send(id, frame(acc::Historyend{m.name, 0}.format()));
        return true;
    }
    int count = 0;
    for (const HistoryRow& g : h->games) {
        if (count == acc::kHistoryLines) break;
        ++count;
        out_.send(id, frame(acc::Historygame{h->name, g.game, g.finished, g.model, g.before, g.after}.format()));
    }
    out_.send(id, frame(acc::Historyend{h->name, count}.format()));
    return true;
}

std::string TableServer::ratingLine(const std::string& name) {
    if (!book_) return {};
    const std::optional<PersonRatings> r = book_->ratings(name);
    if (!r) return {};
    return acc::Personrating{name, r->duel, r->group, r->games}.format();
}

void TableServer::ratingsChanged(const std::vector<std::string>& people) {
    for (const std::string& name : people) lobby_.ratingsChanged(name);
}

}  // namespace quorbit::server
