// The mirror's values, kept in step with the server's messages.
#include "client/mirror.h"

#include <algorithm>

#include "client/fields_util.h"
#include "common/numbers.h"
#include "protocol/framing.h"
#include "protocol/limits.h"
#include "protocol/names.h"
#include "rules/turn.h"

namespace quorbit::client {

namespace names = protocol::names;
using rules::isPlayingSeat;
using rules::isSeat;

void Mirror::hear(std::string_view line) {
    using Step = void (*)(Mirror&, protocol::FieldReader&);
    struct Entry {
        std::string_view name;
        Step step;
    };
    static constexpr Entry kSteps[] = {
        {names::sendlogininfo, [](Mirror& m, protocol::FieldReader& f) { m.hearLogin(f); }},
        {names::newplayerinfo, [](Mirror& m, protocol::FieldReader& f) { m.hearArrival(f); }},
        {names::existingplayers, [](Mirror& m, protocol::FieldReader& f) { m.hearArrival(f); }},
        {names::playerdisconnected, [](Mirror& m, protocol::FieldReader& f) { m.hearDeparture(f); }},
        {names::justwatching, [](Mirror& m, protocol::FieldReader& f) { m.hearWatching(f); }},
        {names::startgame, [](Mirror& m, protocol::FieldReader& f) { m.hearStart(f); }},
        {names::theboard, [](Mirror& m, protocol::FieldReader& f) { m.hearBoard(f); }},
        {names::nextplayer, [](Mirror& m, protocol::FieldReader& f) { m.hearNextTurn(f); }},
        {names::gamestats, [](Mirror& m, protocol::FieldReader& f) { m.hearStats(f); }},
        {names::madeword, [](Mirror& m, protocol::FieldReader& f) { m.hearWord(f); }},
        {names::useshuffle, [](Mirror& m, protocol::FieldReader& f) { m.hearShuffle(f); }},
        {names::shufflesl, [](Mirror& m, protocol::FieldReader& f) { m.hearShufflesLeft(f); }},
        {names::moving, [](Mirror& m, protocol::FieldReader& f) { m.hearSlide(f); }},
        {names::winner, [](Mirror& m, protocol::FieldReader& f) { m.hearWinner(f); }},
        {names::timeup, [](Mirror& m, protocol::FieldReader&) { m.hearTimeUp(); }},
    };
    const auto split = protocol::splitLine(line);
    if (!split) return;
    for (const Entry& e : kSteps) {
        if (e.name != split->name) continue;
        protocol::FieldReader f(split->payload);
        try {
            e.step(*this, f);
        } catch (const quorbit::ConversionError&) {
            // The message stops at the field that is not a number, as in the client.
        }
        return;
    }
}

int Mirror::hearLogin(protocol::FieldReader& f) {
    const int s = lastInt(f);
    if (!isSeat(s)) return 0;
    myseat = s;
    return s;
}

std::optional<Spectator> Mirror::hearArrival(protocol::FieldReader& f) {
    const int s = f.nextInt();
    std::string name = protocol::cleanName(f.rest());
    if (!isSeat(s)) return std::nullopt;
    if (isPlayingSeat(s)) {
        SeatValues& v = seat(s);
        v.holder = SeatHolder::Person;
        v.name = name;
    } else {
        // A seat that logs in again replaces its entry.
        std::erase_if(spectators, [s](const Spectator& sp) { return sp.seat == s; });
        spectators.push_back({s, name});
    }
    return Spectator{s, std::move(name)};
}

std::optional<Departure> Mirror::hearDeparture(protocol::FieldReader& f) {
    Departure d;
    d.seat = f.nextInt();
    d.name = protocol::cleanName(f.rest());
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

int Mirror::hearWatching(protocol::FieldReader& f) {
    const int s = f.nextInt();
    const std::string mode = lastField(f);
    if (!isPlayingSeat(s)) return 0;
    seat(s).watching = mode == "1";
    return s;
}

GameStart Mirror::hearStart(protocol::FieldReader& f) {
    GameStart start{protocol::cleanName(f.next())};
    playTo = f.nextInt();
    turnlength = f.nextInt();
    teamgame = f.next() == "t";
    shufflesPerGame = intOrZero(f);
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

void Mirror::hearBoard(protocol::FieldReader& f) {
    for (auto& column : boardletters) column.fill(0);
    f.beginList();
    while (!f.atListEnd()) {
        const int x = f.nextInt();
        const int y = f.nextInt();
        const int code = f.nextInt();
        // Squares off the board and codes that are no letter leave the board alone.
        if (!rules::onBoard(x, y) || code < 0 || code > 26) continue;
        rules::at(boardletters, {x, y}) = code;
    }
}

int Mirror::hearNextTurn(protocol::FieldReader& f) {
    const int s = f.nextInt();
    if (!isPlayingSeat(s)) return 0;
    whoseturn = s;
    seat(s).shuffles = intOrZero(f);
    selected.fill(rules::Square{});
    timeleft = turnlength;
    timer2 = true;
    return s;
}

bool Mirror::hearStats(protocol::FieldReader& f) {
    const int s = f.nextInt();
    if (s != 0 && !isPlayingSeat(s)) return false;
    whoseturn = s;
    // The game's state comes only to a client that arrives while it runs.
    gamerunning = true;
    joinedLate = true;
    playTo = f.nextInt();
    turnlength = f.nextInt();
    timeleft = f.nextInt();
    teamgame = f.next() == "t";
    for (SeatValues& v : seating) {
        v.score = f.nextInt();
        v.scored = true;
    }
    teamA = f.nextInt();
    teamB = f.nextInt();
    if (timeleft > 0) timer2 = true;
    return true;
}

std::optional<WordMade> Mirror::hearWord(protocol::FieldReader& f) {
    whoseturn = 0;
    timer2 = false;
    WordMade w;
    w.seat = f.nextInt();
    w.word = protocol::cutChars(f.next(), protocol::kMaxTextChars);
    w.points = f.nextInt();
    const int total = f.nextInt();
    const int a = f.nextInt();
    const int b = f.nextInt();
    if (!isPlayingSeat(w.seat)) return std::nullopt;
    teamA = a;
    teamB = b;
    seat(w.seat).score = total;
    seat(w.seat).scored = true;
    selectedcount = 0;
    lastselected = rules::Square{};
    // The word's letters leave the board.
    f.beginList();
    for (int slot = 1; !f.atListEnd(); ++slot) {
        const int x = f.nextInt();
        const int y = f.nextInt();
        if (!rules::onBoard(x, y)) continue;
        int& letter = rules::at(boardletters, {x, y});
        if (isSlot(slot)) w.letters[static_cast<std::size_t>(slot - 1)] = letter;
        letter = 0;
    }
    return w;
}

int Mirror::hearShuffle(protocol::FieldReader& f) {
    const int s = f.nextInt();
    const int left = f.nextInt();
    const auto seconds = quorbit::toInt(f.next());
    if (!isPlayingSeat(s)) return 0;
    if (seconds) timeleft = saturatingMinus(*seconds, rules::kTurnGrace);
    timer2 = true;
    seat(s).shuffles = left;
    return s;
}

void Mirror::hearShufflesLeft(protocol::FieldReader& f) {
    for (SeatValues& v : seating) v.shuffles = f.nextInt();
}

int Mirror::hearSlide(protocol::FieldReader& f) {
    const int direction = f.nextInt();
    rules::slide(boardletters, direction, rules::kClientEmpty);
    return direction;
}

std::string Mirror::hearWinner(protocol::FieldReader& f) {
    whoseturn = 0;
    gamerunning = false;
    // The name is everything up to the message's closing "+", so a name that holds a "+"
    // arrives whole.
    std::string name = f.rest();
    if (!name.empty() && name.back() == '+') name.pop_back();
    return protocol::cleanName(name);
}

bool Mirror::tick() {
    if (!timer2) return false;
    timeleft = saturatingMinus(timeleft, 1);
    if (timeleft <= 0) timer2 = false;
    return timer2;
}

}  // namespace quorbit::client
