// TableServer and its lobby: entering it, the lines its members send (chat, making
// tables), private tables and their invite codes, and what the lobby is told of the tables.
#include <string>
#include <utility>

#include "common/numbers.h"
#include "protocol/fields.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "server/table_entry.h"
#include "server/tables.h"

namespace quorbit::server {

namespace names = protocol::names;
namespace lobby = protocol::lobby;
using protocol::frame;

namespace {

constexpr std::string_view kNameTaken = "There is already a table of that name.";
constexpr std::string_view kNoRoom = "This server holds as many tables as it may.";
constexpr std::string_view kNotValid = "The table's settings are not valid.";

// An invite code as it is kept: up to its first "+", spaces trimmed, letters upper-case.
std::string codeKey(std::string_view code) {
    code = code.substr(0, code.find('+'));
    while (!code.empty() && code.front() == ' ') code.remove_prefix(1);
    while (!code.empty() && code.back() == ' ') code.remove_suffix(1);
    std::string key(code);
    for (char& ch : key)
        if (ch >= 'a' && ch <= 'z') ch = static_cast<char>(ch - 'a' + 'A');
    return key;
}

bool withinRange(int value, int low, int high) { return value >= low && value <= high; }

// Whether the flags of a "maketable" payload (its teams and public fields) are "t" or "f".
bool flagsReadable(std::string_view payload) {
    protocol::FieldReader f(payload);
    for (int field = 0; field < 4; ++field) f.nextView();
    const std::string teams = f.next();
    f.nextView();
    const std::string isPublic = f.next();
    const auto flag = [](const std::string& v) { return v == "t" || v == "f"; };
    return flag(teams) && flag(isPublic);
}

}  // namespace

bool TableServer::nameTaken(const Entry& e, ConnectionId id, int seat, std::string_view name) const {
    if (options_.singleTable) return false;
    const auto c = connections_.find(id);
    if (othersAccount(id, name)) return true;
    return lobby_.taken(name, c == connections_.end() ? std::string() : c->second.address, e.id, seat,
                        ownsName(id, name));
}

// ---- entering and the lines of members -------------------------------------------------

void TableServer::enterLobby(ConnectionId id, std::string_view rawName, std::string rest) {
    Connection& c = connections_.at(id);
    const std::string name = tableName(rawName);
    if (!protocol::usableName(name)) {
        out_.logAbout(id, "closing connection " + std::to_string(id) + ": entering the lobby without a name");
        forget(id);
        out_.close(id);
        return;
    }
    choose_.erase({c.chooseDue, id});
    choose_.erase({c.openedAt + kLoginMs, id});
    c.pending.clear();
    c.inLobby = true;
    lobby_.enter(id, c.address, name, [this, id](std::string_view candidate) { return othersAccount(id, candidate); });
    if (!rest.empty()) lobbyReceived(id, rest);
}

void TableServer::lobbyReceived(ConnectionId id, std::string_view bytes) {
    if (lobby_.queue(id, bytes)) return;
    out_.logAbout(id, "closing connection " + std::to_string(id) + ": too much unserved input in the lobby");
    forget(id);
    out_.close(id);
}

void TableServer::serveLobbyLine(ConnectionId id, const std::string& line) {
    const auto split = protocol::splitLine(line);
    if (!split) return;
    if (split->name == names::lobbychat)
        lobby_.said(id, cleanChatText(lobby::Lobbychat::parse(split->payload).text));
    else if (split->name == names::maketable)
        maketable(id, split->payload);
    else if (accountName(split->name))
        accountMessage(id, split->name, split->payload);
    else
        ratingAsk(id, split->name, split->payload);
    // Nothing else is heard from the lobby: a lobby connection never sits at a table.
}

// ---- making tables ---------------------------------------------------------------------

void TableServer::maketable(ConnectionId id, std::string_view payload) {
    lobby::Maketable m;
    std::string why;
    try {
        m = lobby::Maketable::parse(payload);
    } catch (const ConversionError&) {
        why = kNotValid;
    }
    const std::string name = tableName(m.name);
    std::shared_ptr<const language::LoadedLanguage> language;
    const std::string& address = connections_.at(id).address;
    if (why.empty()) why = refusal(payload, m, name, address, language);
    if (!why.empty()) {
        out_.send(id, frame(lobby::Tablerefused{why}.format()));
        return;
    }
    Entry& e = *makeTable(name, protocol::nameKey(name), m.isPublic);
    const rules::ZuboLevel level = *rules::parseZuboLevel(m.options.zubo);
    lobby::TableOptions o = m.options;
    o.zubo = std::string(rules::zuboLevelName(level));
    o.language = language ? std::string(language->code()) : "en";
    e.made = o;
    e.language = o.language;
    e.table.setZubolevel(level);
    e.table.setLanguage(language);
    e.table.setHostNote(lobby::Tableoptions{o}.format());
    if (!m.isPublic) {
        e.code = inviteCode();
        byCode_.emplace(e.code, e.id);
    }
    e.madeBy = address;
    e.waitsUntil = now_ + kMadeTableWaitMs;
    waits_.emplace(*e.waitsUntil, e.id);
    out_.logAbout(id, "connection " + std::to_string(id) + " made " + (m.isPublic ? "table \"" : "private table \"") +
                          name + "\"");
    out_.send(id, frame(lobby::Tablemade{name, e.code}.format()));
}

// Why a table cannot be made as asked (a sentence for the asker), or empty. Finds the
// table's language on the way.
std::string TableServer::refusal(std::string_view payload, const lobby::Maketable& m, const std::string& name,
                                 const std::string& address,
                                 std::shared_ptr<const language::LoadedLanguage>& language) const {
    const lobby::TableOptions& o = m.options;
    const bool valid = protocol::usableName(name) && flagsReadable(payload) &&
                       withinRange(o.playTo, protocol::kMinPlayTo, protocol::kMaxPlayTo) &&
                       withinRange(o.seconds, protocol::kMinSeconds, protocol::kMaxSeconds) &&
                       withinRange(o.shuffles, protocol::kMinShuffles, protocol::kMaxShuffles) &&
                       rules::parseZuboLevel(o.zubo).has_value();
    if (!valid) return std::string(kNotValid);
    const auto found = findLanguage(o.language);
    if (!found) return std::string(kNotValid);
    language = *found;
    if (m.isPublic && byKey_.count(protocol::nameKey(name)) != 0) return std::string(kNameTaken);
    if (tables_.size() >= options_.limits.tables) return std::string(kNoRoom);
    // Tables nobody has sat at yet are held for their makers as idle connections are: a
    // few per address, so that one address cannot fill the server with empty tables.
    std::size_t unused = 0;
    for (const auto& [until, table] : waits_)
        if (tables_.at(table)->madeBy == address) ++unused;
    if (unused >= options_.limits.waitingPerAddress) return std::string(kNoRoom);
    return {};
}

// The language of a code (null for English), or nothing for a code the server lacks. An
// empty code is the server's own language.
std::optional<std::shared_ptr<const language::LoadedLanguage>> TableServer::findLanguage(std::string_view code) const {
    if (code.empty()) return options_.language;
    if (code == language::english().code) return std::shared_ptr<const language::LoadedLanguage>();
    if (options_.language && options_.language->code() == code) return options_.language;
    if (!options_.findLanguage) return std::nullopt;
    language::LoadResult found = options_.findLanguage(code);
    if (!found) return std::nullopt;
    return found.language;
}

std::string TableServer::inviteCode() {
    std::string code;
    do {
        code.clear();
        for (std::size_t i = 0; i < kInviteCodeChars; ++i)
            code += kInviteCodeAlphabet[static_cast<std::size_t>(
                inviteRandom_->below(static_cast<int>(kInviteCodeAlphabet.size())))];
    } while (byCode_.count(code) != 0);
    return code;
}

void TableServer::invite(ConnectionId id, std::string_view code, std::string rest) {
    const auto it = byCode_.find(codeKey(code));
    Entry* e = it == byCode_.end() ? nullptr : entry(it->second);
    if (!e) {
        forget(id);
        refuse(id, "no private table has that invite code");
        return;
    }
    sitAt(id, *e, std::move(rest), false);
}

const Table* TableServer::invited(std::string_view code) const {
    const auto it = byCode_.find(codeKey(code));
    return it == byCode_.end() ? nullptr : &tables_.at(it->second)->table;
}

// ---- what the lobby is told ------------------------------------------------------------

std::optional<lobby::Lobbytable> TableServer::lobbyLine(TableId table) const {
    const auto it = tables_.find(table);
    if (it == tables_.end() || !it->second->listed) return std::nullopt;
    const Entry& e = *it->second;
    const Table& t = e.table;
    const protocol::tables::Tableinfo i = info(e);
    lobby::Lobbytable line;
    line.name = i.name;
    line.players = i.players;
    line.watchers = i.watchers;
    line.running = i.running;
    line.zubo = i.zubo;
    // The options it was made with until its first game starts; then that game's.
    const bool started = t.playtoscore() != 0;
    if (e.made && !started) {
        line.playTo = e.made->playTo;
        line.seconds = e.made->seconds;
        line.teams = e.made->teams;
        line.shuffles = e.made->shuffles;
    } else {
        line.playTo = i.playTo;
        line.seconds = i.seconds;
        line.teams = i.teams;
        line.shuffles = t.shufflespergame();
    }
    line.language = started ? std::string(t.languageCode()) : e.language;
    return line;
}

std::vector<TableId> TableServer::publicTables() const {
    std::vector<TableId> ids;
    for (const auto& [id, e] : tables_)
        if (e->listed) ids.push_back(id);
    return ids;
}

Whereabouts TableServer::whereabouts(TableId table, int seat) const {
    const auto it = tables_.find(table);
    if (it == tables_.end() || !it->second->listed) return {"private", ""};
    return {rules::isPlayingSeat(seat) ? "playing" : "watching", it->second->name};
}

}  // namespace quorbit::server
