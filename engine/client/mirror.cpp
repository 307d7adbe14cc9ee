// The mirror's values, kept in step with the server's messages.
#include "client/mirror.h"

#include <algorithm>
#include <type_traits>

#include "client/fields_util.h"
#include "common/numbers.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "rules/turn.h"

namespace quorbit::client {

using rules::isPlayingSeat;
using rules::isSeat;

namespace {

// Reads the line as the one of `Ms` whose name it has and hands it to the mirror.
template <typename... Ms>
void follow(Mirror& mirror, std::string_view name, std::string_view payload) {
    const auto one = [&](auto tag) {
        using M = typename decltype(tag)::type;
        if (name != M::kName) return false;
        mirror.hear(M::parse(payload));
        return true;
    };
    (one(std::type_identity<Ms>{}) || ...);
}

}  // namespace

void Mirror::hear(std::string_view line) {
    const auto split = protocol::splitLine(line);
    if (!split) return;
    try {
        follow<tc::Sendlogininfo, tc::Newplayerinfo, tc::Existingplayers, tc::Playerdisconnected, tc::Justwatching,
               tc::Startgame, tc::Theboard, tc::Nextplayer, tc::Gamestats, tc::Madeword, tc::Useshuffle,
               tc::Shufflesl, tc::Moving, tc::Winner, tc::Timeup, tc::Language>(*this, split->name, split->payload);
    } catch (const quorbit::ConversionError&) {
        // A line that cannot be read as its message changes nothing, as in the client.
    }
}

bool Mirror::hear(const tc::Language& m) {
    if (m.code.empty()) return false;
    language = m.code;
    return true;
}

int Mirror::hear(const tc::Sendlogininfo& m) {
    if (!isSeat(m.seat)) return 0;
    myseat = m.seat;
    return m.seat;
}

namespace {
std::optional<Spectator> arrival(Mirror& mirror, int s, std::string_view rawName) {
    std::string name = protocol::cleanName(rawName);
    if (!isSeat(s)) return std::nullopt;
    if (isPlayingSeat(s)) {
        SeatValues& v = mirror.seat(s);
        v.holder = SeatHolder::Person;
        v.name = name;
    } else {
        // A seat that logs in again replaces its entry.
        std::erase_if(mirror.spectators, [s](const Spectator& sp) { return sp.seat == s; });
        mirror.spectators.push_back({s, name});
    }
    return Spectator{s, std::move(name)};
}
}  // namespace

std::optional<Spectator> Mirror::hear(const tc::Newplayerinfo& m) { return arrival(*this, m.seat, m.name); }
std::optional<Spectator> Mirror::hear(const tc::Existingplayers& m) { return arrival(*this, m.seat, m.name); }

std::optional<Departure> Mirror::hear(const tc::Playerdisconnected& m) {
    Departure d;
    d.seat = m.seat;
    d.name = protocol::cleanName(m.name);
    if (!isSeat(d.seat)) return std::nullopt;
    if (isPlayingSeat(d.seat)) {
        SeatValues& v = seat(d.seat);
        d.holderBefore = v.holder;
        d.nameBefore = v.name;
        // The computer takes over its own seat.
        const bool computer = d.seat == rules::kComputerSeat;
        v.holder = computer ? SeatHolder::Computer : SeatHolder::Nobody;
        v.name = computer ? std::string(rules::kComputerName) : std::string();
        v.watching = false;
        return d;
    }
    const auto it = std::find(spectators.begin(), spectators.end(), Spectator{d.seat, d.name});
    if (it != spectators.end()) {
        spectators.erase(it);
        d.spectatorKnown = true;
    }
    return d;
}

int Mirror::hear(const tc::Justwatching& m) {
    if (!isPlayingSeat(m.seat)) return 0;
    seat(m.seat).watching = m.watching;
    return m.seat;
}

GameStart Mirror::hear(const tc::Startgame& m) {
    GameStart start{protocol::cleanName(m.settings.starter)};
    playTo = m.settings.playTo;
    turnlength = m.settings.seconds;
    teamgame = m.settings.team;
    shufflesPerGame = m.settings.shuffles;
    gamerunning = true;
    joinedLate = false;
    teamA = teamB = 0;
    for (SeatValues& v : seating) {
        v.score = 0;
        v.scored = false;
        v.watching = false;
        v.shuffles = shufflesPerGame;
    }
    // The computer plays seat 2 while nobody holds it.
    SeatValues& computer = seat(rules::kComputerSeat);
    if (computer.holder == SeatHolder::Nobody) {
        computer.holder = SeatHolder::Computer;
        computer.name = std::string(rules::kComputerName);
        start.computerJoined = true;
    }
    return start;
}

void Mirror::hear(const tc::Theboard& m) {
    for (auto& column : boardletters) column.fill(0);
    for (const auto& sq : m.squares) {
        // Squares off the board and codes that are no letter leave the board alone.
        if (!rules::onBoard(sq.x, sq.y) || sq.code < 0 || sq.code > 26) continue;
        rules::at(boardletters, {sq.x, sq.y}) = sq.code;
    }
}

int Mirror::hear(const tc::Nextplayer& m) {
    if (!isPlayingSeat(m.seat)) return 0;
    whoseturn = m.seat;
    seat(m.seat).shuffles = m.shufflesLeft;
    selected.fill(rules::Square{});
    timeleft = turnlength;
    timer2 = true;
    return m.seat;
}

bool Mirror::hear(const tc::Gamestats& m) {
    if (m.turnSeat != 0 && !isPlayingSeat(m.turnSeat)) return false;
    whoseturn = m.turnSeat;
    // The game's state comes only to a client that arrives while it runs.
    gamerunning = true;
    joinedLate = true;
    playTo = m.playTo;
    turnlength = m.seconds;
    timeleft = m.secondsLeft;
    teamgame = m.team;
    for (std::size_t i = 0; i < seating.size(); ++i) {
        seating[i].score = m.scores[i];
        seating[i].scored = true;
    }
    teamA = m.teamA;
    teamB = m.teamB;
    if (timeleft > 0) timer2 = true;
    return true;
}

std::optional<WordMade> Mirror::hear(const tc::Madeword& m) {
    whoseturn = 0;
    timer2 = false;
    if (!isPlayingSeat(m.seat)) return std::nullopt;
    WordMade w;
    w.seat = m.seat;
    w.word = protocol::cutChars(m.word, protocol::kMaxTextChars);
    w.points = m.points;
    teamA = m.teamA;
    teamB = m.teamB;
    seat(m.seat).score = m.total;
    seat(m.seat).scored = true;
    selectedcount = 0;
    lastselected = rules::Square{};
    // The word's letters leave the board.
    for (std::size_t i = 0; i < m.squares.size(); ++i) {
        const rules::Square sq = m.squares[i];
        if (!rules::onBoard(sq.x, sq.y)) continue;
        int& letter = rules::at(boardletters, sq);
        if (i < w.letters.size()) w.letters[i] = letter;
        letter = 0;
    }
    return w;
}

int Mirror::hear(const tc::Useshuffle& m) {
    if (!isPlayingSeat(m.seat)) return 0;
    if (m.countdown) timeleft = saturatingMinus(*m.countdown, rules::kTurnGrace);
    timer2 = true;
    seat(m.seat).shuffles = m.shufflesLeft;
    return m.seat;
}

void Mirror::hear(const tc::Shufflesl& m) {
    for (std::size_t i = 0; i < seating.size(); ++i) seating[i].shuffles = m.left[i];
}

void Mirror::hear(const tc::Moving& m) { rules::slide(boardletters, m.direction, rules::kClientEmpty); }

std::string Mirror::hear(const tc::Winner& m) {
    whoseturn = 0;
    gamerunning = false;
    return protocol::cleanName(m.name);
}

bool Mirror::tick() {
    if (!timer2) return false;
    timeleft = saturatingMinus(timeleft, 1);
    if (timeleft <= 0) timer2 = false;
    return timer2;
}

}  // namespace quorbit::client
