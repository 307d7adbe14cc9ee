#include "client/lobby_model.h"

#include <algorithm>

#include "common/numbers.h"
#include "protocol/account_messages.h"
#include "protocol/directory_messages.h"
#include "social/chat_rules.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/names.h"

namespace quorbit::client {
namespace lobby = protocol::lobby;
namespace accounts = protocol::accounts;
namespace {

using Kind = LobbyChange::Kind;

// A name as the server keeps names: cleaned, cut, and without "+".
std::string keptName(std::string_view name) {
    std::string n = protocol::cleanName(name);
    n.erase(std::remove(n.begin(), n.end(), '+'), n.end());
    return n;
}

// Everything in a table's line, cut as the server would have cut it; counts below zero
// read as zero.
void tidyTable(LobbyTable& t) {
    t.name = keptName(t.name);
    t.players = std::max(t.players, 0);
    t.watchers = std::max(t.watchers, 0);
    t.playTo = std::max(t.playTo, 0);
    t.seconds = std::max(t.seconds, 0);
    t.shuffles = std::max(t.shuffles, 0);
    t.zubo = protocol::cutChars(t.zubo, 16);
    t.language = protocol::cutChars(t.language, 8);
}

// The key of a row in its index: a person's name; a table's name, after its server's
// address for another server's table (a name holds no "+", so the two never meet).
std::string tableKey(std::string_view name, std::string_view server) {
    return server.empty() ? std::string(name) : std::string(server) + "+" + std::string(name);
}
std::string rowKey(const LobbyPerson& p) { return p.name; }
std::string rowKey(const LobbyTable& t) { return tableKey(t.name, t.server); }

// Another server's address as the lobby keeps it: no "+", control characters removed,
// cut as a name of a host may be.
std::string keptServer(std::string_view server) {
    std::string s = protocol::cutChars(server, 300);
    std::erase_if(s, [](char c) { return c == '+' || (static_cast<unsigned char>(c) < 0x20) || c == 0x7F; });
    return s;
}

template <typename Row>
void forgetRow(std::vector<Row>& rows, LobbyModel::RowIndex& index, std::size_t row) {
    index.erase(rowKey(rows[row]));
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
    for (std::size_t r = row; r < rows.size(); ++r) index[rowKey(rows[r])] = r;
}

int modelIndex(std::string_view model) { return model == "duel" ? 0 : model == "group" ? 1 : -1; }

long rowOf(const LobbyModel::RowIndex& index, std::string_view name) {
    const auto it = index.find(std::string(name));
    return it == index.end() ? -1 : static_cast<long>(it->second);
}

}  // namespace

long LobbyModel::tableRow(std::string_view name, std::string_view server) const {
    return rowOf(tableRows_, tableKey(name, server));
}
long LobbyModel::personRow(std::string_view name) const { return rowOf(personRows_, name); }

void LobbyModel::clear() {
    tables_.clear();
    people_.clear();
    tableRows_.clear();
    personRows_.clear();
    chat_.clear();
    ownName_.clear();
    remoteTables_ = 0;
    ready_ = false;
    ratings_.clear();
    account_ = {};
    for (int m = 0; m < 2; ++m) leadersComing_[m].clear(), leaders_[m].clear();
    historyComing_ = history_ = {};
}

const PersonRating* LobbyModel::rating(std::string_view name) const {
    const auto it = ratings_.find(std::string(name));
    return it == ratings_.end() ? nullptr : &it->second;
}

const std::vector<LeaderRow>& LobbyModel::leaders(std::string_view model) const {
    return leaders_[modelIndex(model) == 1 ? 1 : 0];
}

LobbyChange LobbyModel::apply(std::string_view line) {
    const auto split = protocol::splitLine(line);
    if (!split) return {};
    const std::string_view name = split->name;
    const std::string_view payload = split->payload;
    namespace n = protocol::names;
    try {
        if (name == n::person) return person(lobby::Person::parse(payload));
        if (name == n::persongone) return personGone(keptName(lobby::Persongone::parse(payload).name));
        if (name == n::lobbytable) return table(LobbyTable{lobby::Lobbytable::parse(payload), {}});
        if (name == n::lobbytablegone) return tableGone(keptName(lobby::Lobbytablegone::parse(payload).name));
        if (name == n::remotetable) {
            protocol::directory::Remotetable r = protocol::directory::Remotetable::parse(payload);
            LobbyTable t{std::move(r.table), keptServer(r.server)};
            if (t.server.empty()) return {};
            return table(std::move(t));
        }
        if (name == n::remotetablegone) {
            const protocol::directory::Remotetablegone g = protocol::directory::Remotetablegone::parse(payload);
            const std::string server = keptServer(g.server);
            if (server.empty()) return {};
            return tableGone(keptName(g.name), server);
        }
        if (name == n::lobbysaid) {
            lobby::Lobbysaid s = lobby::Lobbysaid::parse(payload);
            // The text is "line|colour", as a table's chat; the lobby shows the line.
            const std::string line = social::readReceivedLine(s.text).text;
            return said({keptName(s.name), protocol::cutChars(line, protocol::kMaxTextChars)});
        }
        if (name == n::lobbyname) {
            ownName_ = keptName(lobby::Lobbyname::parse(payload).name);
            return {Kind::Named, 0, ownName_, {}};
        }
        if (name == n::lobbyready) {
            lobby::Lobbyready::parse(payload);  // the counts only say what came before
            ready_ = true;
            return {Kind::Ready, 0, {}, {}};
        }
        if (name == n::tablemade) {
            lobby::Tablemade m = lobby::Tablemade::parse(payload);
            return {Kind::TableMade, 0, keptName(m.name), protocol::cutChars(m.code, 64)};
        }
        if (name == n::tablerefused) {
            const std::string why = lobby::Tablerefused::parse(payload).text;
            return {Kind::TableRefused, 0, {}, protocol::cutChars(why, protocol::kMaxTextChars)};
        }
        return accountLine(name, payload);
    } catch (const ConversionError&) {
        return {};  // a number that does not read: the line says nothing
    }
    return {};
}

// A row made or changed: told only when something in it differs.
template <typename Row>
LobbyChange LobbyModel::keepRow(std::vector<Row>& rows, RowIndex& index, Row row, Kind changed, Kind added) {
    const long at = rowOf(index, rowKey(row));
    if (at >= 0) {
        Row& known = rows[static_cast<std::size_t>(at)];
        if (known == row) return {};
        known = std::move(row);
        return {changed, static_cast<std::size_t>(at), known.name, {}};
    }
    if (rows.size() >= kMaxLobbyRows) return {};
    LobbyChange c{added, rows.size(), row.name, {}};
    if (beforeRowsMove) beforeRowsMove(c);
    index[rowKey(row)] = rows.size();
    rows.push_back(std::move(row));
    return c;
}

template <typename Row>
LobbyChange LobbyModel::dropRow(std::vector<Row>& rows, RowIndex& index, const std::string& key, Kind gone) {
    const long at = rowOf(index, key);
    if (at < 0) return {};
    LobbyChange c{gone, static_cast<std::size_t>(at), rows[static_cast<std::size_t>(at)].name, {}};
    if (beforeRowsMove) beforeRowsMove(c);
    forgetRow(rows, index, c.row);
    return c;
}

LobbyChange LobbyModel::person(const LobbyPerson& received) {
    LobbyPerson p{keptName(received.name), protocol::cutChars(received.place, 16), keptName(received.table)};
    if (p.name.empty()) return {};
    return keepRow(people_, personRows_, std::move(p), Kind::PersonChanged, Kind::PersonAdded);
}

LobbyChange LobbyModel::personGone(const std::string& name) {
    ratings_.erase(name);
    return dropRow(people_, personRows_, name, Kind::PersonGone);
}

LobbyChange LobbyModel::table(LobbyTable t) {
    tidyTable(t);
    const bool remote = !t.server.empty();
    LobbyChange c = keepRow(tables_, tableRows_, std::move(t), Kind::TableChanged, Kind::TableAdded);
    if (remote && c.kind == Kind::TableAdded) ++remoteTables_;
    return c;
}

LobbyChange LobbyModel::tableGone(const std::string& name, const std::string& server) {
    LobbyChange c = dropRow(tables_, tableRows_, tableKey(name, server), Kind::TableGone);
    if (!server.empty() && c.kind == Kind::TableGone) --remoteTables_;
    return c;
}

LobbyChange LobbyModel::said(LobbyChatLine line) {
    if (line.text.empty()) return {};
    LobbyChange c{Kind::Said, 0, line.name, line.text};
    chat_.push_back(std::move(line));
    if (chat_.size() > kMaxLobbyChatLines) chat_.pop_front();
    return c;
}

// ---- Accounts and ratings -------------------------------------------------------------

LobbyChange LobbyModel::accountLine(std::string_view name, std::string_view payload) {
    namespace n = protocol::names;
    using accounts::RatingModel;
    if (name == n::personrating) {
        const accounts::Personrating r = accounts::Personrating::parse(payload);
        return rated(keptName(r.name), {accounts::ratingText(RatingModel::Duel, r.duel),
                                        accounts::ratingText(RatingModel::Group, r.group), std::max(r.games, 0)});
    }
    if (name == n::loggedin) {
        const accounts::Loggedin m = accounts::Loggedin::parse(payload);
        account_ = {keptName(m.name), protocol::cutChars(m.token, 64)};
        return {Kind::LoggedIn, 0, account_.name, {}};
    }
    if (name == n::accountrefused)
        return {Kind::AccountRefused, 0, {}, protocol::cutChars(accounts::Accountrefused::parse(payload).text, protocol::kMaxTextChars)};
    if (name == n::accountdone) {
        LobbyChange c{Kind::AccountDone, 0, {}, protocol::cutChars(accounts::Accountdone::parse(payload).text, protocol::kMaxTextChars)};
        // The server logs a deleted account out.
        if (c.text == kAccountDeleted) account_ = {};
        return c;
    }
    if (name == n::leader) {
        const accounts::Leader m = accounts::Leader::parse(payload);
        return leader(accounts::modelName(m.model), {m.rank, keptName(m.name), accounts::ratingText(m.model, m.rating), std::max(m.games, 0)});
    }
    if (name == n::leaderend) return leadersEnd(accounts::modelName(accounts::Leaderend::parse(payload).model));
    if (name == n::historygame) {
        const accounts::Historygame m = accounts::Historygame::parse(payload);
        if (m.finished < 0) return {};
        return historyGame(keptName(m.name), {m.game, m.finished, std::string(accounts::modelName(m.model)),
                                              accounts::ratingText(m.model, m.before), accounts::ratingText(m.model, m.after)});
    }
    if (name == n::historyend) return historyEnd(keptName(accounts::Historyend::parse(payload).name));
    return {};
}

LobbyChange LobbyModel::rated(std::string name, PersonRating r) {
    const long row = personRow(name);
    if (row < 0) return {};  // only people online have their ratings kept
    PersonRating& known = ratings_[name];
    if (known == r) return {};
    known = std::move(r);
    return {Kind::Rated, static_cast<std::size_t>(row), std::move(name), {}};
}

LobbyChange LobbyModel::leader(std::string_view model, LeaderRow row) {
    const int m = modelIndex(model);
    if (m < 0 || leadersComing_[m].size() >= kMaxLeaders) return {};
    leadersComing_[m].push_back(std::move(row));
    return {};
}

LobbyChange LobbyModel::leadersEnd(std::string_view model) {
    const int m = modelIndex(model);
    if (m < 0) return {};
    leaders_[m] = std::move(leadersComing_[m]);
    leadersComing_[m].clear();
    return {Kind::Leaderboard, 0, {}, std::string(model)};
}

LobbyChange LobbyModel::historyGame(std::string name, HistoryGame game) {
    // An answer for another player starts a new list.
    if (historyComing_.name != name) historyComing_ = {std::move(name), {}};
    if (historyComing_.games.size() < kMaxHistoryGames) historyComing_.games.push_back(std::move(game));
    return {};
}

LobbyChange LobbyModel::historyEnd(std::string name) {
    if (historyComing_.name != name) historyComing_ = {name, {}};
    history_ = std::move(historyComing_);
    historyComing_ = {};
    return {Kind::History, 0, std::move(name), {}};
}

std::string LobbyModel::loginLine(std::string_view name, std::string_view password, bool registering) {
    const std::string kept = keptName(name);
    if (!protocol::usableName(kept)) return {};
    if (registering) return protocol::frame(accounts::Register{kept, std::string(password)}.format());
    return protocol::frame(accounts::Login{kept, std::string(password)}.format());
}

std::string LobbyModel::newPasswordLine(std::string_view oldPassword, std::string_view newPassword) {
    return protocol::frame(accounts::Newpassword{std::string(oldPassword), std::string(newPassword)}.format());
}

std::string LobbyModel::deleteAccountLine(std::string_view password) {
    return protocol::frame(accounts::Deleteaccount{std::string(password)}.format());
}

std::string LobbyModel::leaderboardLine(std::string_view model) {
    const auto m = accounts::modelNamed(model);
    return m ? protocol::frame(accounts::Leaderboard{*m}.format()) : std::string();
}

std::string LobbyModel::historyLine(std::string_view name) {
    const std::string kept = keptName(name);
    if (kept.empty()) return {};
    return protocol::frame(accounts::History{kept}.format());
}

std::string LobbyModel::enterLine(std::string_view name) {
    const std::string kept = keptName(name);
    if (!protocol::usableName(kept)) return {};
    return protocol::frame(lobby::Lobby{kept}.format());
}

std::string LobbyModel::chatLine(std::string_view text) {
    std::string t = protocol::cutChars(text, protocol::kMaxTextChars);
    // One line: line ends would read as the end of nothing on the wire, but they are
    // blanks to everybody who reads them.
    std::replace_if(t.begin(), t.end(), [](char c) { return c == '\r' || c == '\n'; }, ' ');
    if (t.find_first_not_of(' ') == std::string::npos) return {};
    // The line goes as "line|colour": a "|" of its own would end it early, so it is sent
    // as the broken bar that looks like it.
    std::string line;
    for (const char c : t) line += c == '|' ? std::string("\u00a6") : std::string(1, c);
    return protocol::frame(lobby::Lobbychat{line + "|" + social::colourToText(social::kBlack)}.format());
}

std::string LobbyModel::makeTableLine(const TableRequest& request) {
    lobby::Maketable m;
    m.name = keptName(request.name);
    m.options = request.options;
    m.isPublic = request.isPublic;
    std::erase(m.options.zubo, '+');
    std::erase(m.options.language, '+');
    return protocol::frame(m.format());
}

}  // namespace quorbit::client
