#include "client/lobby_model.h"

#include <algorithm>

#include "common/numbers.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/names.h"

namespace quorbit::client {
namespace lobby = protocol::lobby;
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

template <typename Row>
void forgetRow(std::vector<Row>& rows, std::unordered_map<std::string, std::size_t>& index, std::size_t row) {
    index.erase(rows[row].name);
    rows.erase(rows.begin() + static_cast<std::ptrdiff_t>(row));
    for (std::size_t r = row; r < rows.size(); ++r) index[rows[r].name] = r;
}

long rowOf(const std::unordered_map<std::string, std::size_t>& index, std::string_view name) {
    const auto it = index.find(std::string(name));
    return it == index.end() ? -1 : static_cast<long>(it->second);
}

}  // namespace

long LobbyModel::tableRow(std::string_view name) const { return rowOf(tableRows_, name); }
long LobbyModel::personRow(std::string_view name) const { return rowOf(personRows_, name); }

void LobbyModel::clear() {
    tables_.clear();
    people_.clear();
    tableRows_.clear();
    personRows_.clear();
    chat_.clear();
    ownName_.clear();
    ready_ = false;
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
        if (name == n::lobbytable) return table(lobby::Lobbytable::parse(payload));
        if (name == n::lobbytablegone) return tableGone(keptName(lobby::Lobbytablegone::parse(payload).name));
        if (name == n::lobbysaid) {
            lobby::Lobbysaid s = lobby::Lobbysaid::parse(payload);
            return said({keptName(s.name), protocol::cutChars(s.text, protocol::kMaxTextChars)});
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
    } catch (const ConversionError&) {
        return {};  // a number that does not read: the line says nothing
    }
    return {};
}

LobbyChange LobbyModel::person(const LobbyPerson& received) {
    LobbyPerson p{keptName(received.name), protocol::cutChars(received.place, 16), keptName(received.table)};
    if (p.name.empty()) return {};
    const long row = personRow(p.name);
    if (row >= 0) {
        LobbyPerson& known = people_[static_cast<std::size_t>(row)];
        if (known == p) return {};
        known = std::move(p);
        return {Kind::PersonChanged, static_cast<std::size_t>(row), known.name, {}};
    }
    if (people_.size() >= kMaxLobbyRows) return {};
    LobbyChange c{Kind::PersonAdded, people_.size(), p.name, {}};
    if (beforeRowsMove) beforeRowsMove(c);
    personRows_[p.name] = people_.size();
    people_.push_back(std::move(p));
    return c;
}

LobbyChange LobbyModel::personGone(const std::string& name) {
    const long row = personRow(name);
    if (row < 0) return {};
    LobbyChange c{Kind::PersonGone, static_cast<std::size_t>(row), name, {}};
    if (beforeRowsMove) beforeRowsMove(c);
    forgetRow(people_, personRows_, c.row);
    return c;
}

LobbyChange LobbyModel::table(LobbyTable t) {
    tidyTable(t);
    const long row = tableRow(t.name);
    if (row >= 0) {
        LobbyTable& known = tables_[static_cast<std::size_t>(row)];
        if (known == t) return {};
        known = std::move(t);
        return {Kind::TableChanged, static_cast<std::size_t>(row), known.name, {}};
    }
    if (tables_.size() >= kMaxLobbyRows) return {};
    LobbyChange c{Kind::TableAdded, tables_.size(), t.name, {}};
    if (beforeRowsMove) beforeRowsMove(c);
    tableRows_[t.name] = tables_.size();
    tables_.push_back(std::move(t));
    return c;
}

LobbyChange LobbyModel::tableGone(const std::string& name) {
    const long row = tableRow(name);
    if (row < 0) return {};
    LobbyChange c{Kind::TableGone, static_cast<std::size_t>(row), name, {}};
    if (beforeRowsMove) beforeRowsMove(c);
    forgetRow(tables_, tableRows_, c.row);
    return c;
}

LobbyChange LobbyModel::said(LobbyChatLine line) {
    if (line.text.empty()) return {};
    LobbyChange c{Kind::Said, 0, line.name, line.text};
    chat_.push_back(std::move(line));
    if (chat_.size() > kMaxLobbyChatLines) chat_.pop_front();
    return c;
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
    return protocol::frame(lobby::Lobbychat{t}.format());
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
