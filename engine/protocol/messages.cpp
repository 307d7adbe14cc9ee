#include "protocol/messages.h"

#include <utility>

#include "rules/scoring.h"

namespace quorbit::protocol {
namespace {

// Builds "NAME+f1+f2..." with an optional "+" after the last field.
class Builder {
public:
    explicit Builder(std::string_view name) : text_(name) {}
    Builder& field(std::string_view v) {
        text_ += '+';
        text_ += v;
        return *this;
    }
    Builder& field(int v) { return field(std::to_string(v)); }
    std::string done() { return std::move(text_); }
    std::string trailing() {
        text_ += '+';
        return std::move(text_);
    }

private:
    std::string text_;
};

// The last field of a message that has no "+" after it: up to the next "+" if there is
// one, else the whole remaining payload.
std::string lastField(FieldReader& f) {
    const std::string rest = f.rest();
    return rest.find('+') == std::string::npos ? rest : f.next();
}

// A number field that counts as 0 when it is not a number.
int intOrZero(FieldReader& f) { return toInt(f.next()).value_or(0); }

std::string startgameText(const GameSettings& s) {
    return Builder(names::startgame).field(s.starter).field(s.playTo).field(s.seconds)
        .field(teamFlag(s.team)).field(s.shuffles).trailing();
}

// The fields before the number of shuffles, read alike by both sides.
GameSettings startgameHead(FieldReader& f) {
    GameSettings s;
    s.starter = f.next();
    s.playTo = f.nextInt();
    s.seconds = f.nextInt();
    s.team = f.next() == "t";
    return s;
}

std::string withColour(std::string_view text, std::string_view colour) {
    std::string s(text);
    s += '|';
    s += colour;
    return s;
}

}  // namespace

// ---- Client to server -----------------------------------------------------------------
namespace toserver {

std::string Logininfo::format() const { return Builder(kName).field(seat).field(version).field(name).done(); }
Logininfo Logininfo::parse(std::string_view payload) {
    FieldReader f(payload);
    Logininfo m;
    m.seat = f.nextInt();
    m.version = f.next();
    m.name = f.rest();
    return m;
}

std::string Kickhim::format() const { return Builder(kName).field(requester).field(target).trailing(); }
Kickhim Kickhim::parse(std::string_view payload) {
    FieldReader f(payload);
    Kickhim m;
    m.requester = f.nextInt();
    m.target = f.nextInt();
    return m;
}

std::string Chat::format() const { return Builder(kName).field(seat).field(lineAndColour).done(); }
Chat Chat::parse(std::string_view payload) {
    FieldReader f(payload);
    Chat m;
    m.seat = f.nextInt();
    m.lineAndColour = f.rest();
    return m;
}

std::string Action::format() const { return Builder(kName).field(seat).field(textAndColour).done(); }
Action Action::parse(std::string_view payload) {
    FieldReader f(payload);
    Action m;
    m.seat = f.nextInt();
    m.textAndColour = f.rest();
    return m;
}

std::string Startgame::format() const { return startgameText(settings); }
Startgame Startgame::parse(std::string_view payload) {
    FieldReader f(payload);
    Startgame m{startgameHead(f)};
    m.settings.shuffles = f.nextInt();
    return m;
}

std::string Justwatch::format() const { return Builder(kName).field(seat).field(mode).done(); }
Justwatch Justwatch::parse(std::string_view payload) {
    FieldReader f(payload);
    Justwatch m;
    m.seat = f.nextInt();
    m.mode = strToInt(f.rest());
    return m;
}

std::string Playerdone::format() const {
    Builder b(kName);
    b.field(seat);
    for (const auto& step : path) b.field(step.position).field(step.x).field(step.y);
    return b.done();
}
Playerdone Playerdone::parse(std::string_view payload) {
    FieldReader f(payload);
    Playerdone m;
    m.seat = f.nextInt();
    m.path = readPath(f);
    return m;
}

std::vector<PathStep> readPath(FieldReader& f) {
    std::vector<PathStep> path;
    if (f.rest().empty()) return path;
    f.beginList();
    while (!f.atListEnd() && path.size() <= static_cast<std::size_t>(rules::kMaxWord)) {
        PathStep step{};
        step.position = f.nextInt();
        step.x = f.nextInt();
        step.y = f.nextInt();
        path.push_back(step);
    }
    return path;
}

std::string Direction::format() const { return Builder(kName).field(seat).field(direction).trailing(); }
Direction Direction::parse(std::string_view payload) {
    FieldReader f(payload);
    Direction m;
    m.seat = f.nextInt();
    m.direction = f.nextInt();
    return m;
}

std::string Selectletter::format() const {
    return Builder(kName).field(seat).field(position).field(x).field(y).trailing();
}
Selectletter Selectletter::parse(std::string_view payload) {
    FieldReader f(payload);
    Selectletter m;
    m.seat = f.nextInt();
    m.position = f.nextInt();
    m.x = f.nextInt();
    m.y = f.nextInt();
    return m;
}

std::string Selectclear::format() const { return Builder(kName).field(seat).trailing(); }
Selectclear Selectclear::parse(std::string_view payload) {
    FieldReader f(payload);
    return Selectclear{f.nextInt()};
}

std::string Clearletter::format() const { return Builder(kName).field(seat).field(position).trailing(); }
Clearletter Clearletter::parse(std::string_view payload) {
    FieldReader f(payload);
    Clearletter m;
    m.seat = f.nextInt();
    m.position = f.nextInt();
    return m;
}

std::string Shuffle::format() const { return Builder(kName).field(seat).trailing(); }
Shuffle Shuffle::parse(std::string_view payload) {
    FieldReader f(payload);
    return Shuffle{f.nextInt()};
}

std::string logininfo(int seat, std::string_view version, std::string_view name) {
    return Logininfo{seat, std::string(version), std::string(name)}.format();
}
std::string kickhim(int requester, int target) { return Kickhim{requester, target}.format(); }
std::string chat(int seat, std::string_view line, std::string_view colour) {
    return Chat{seat, withColour(line, colour)}.format();
}
std::string action(int seat, std::string_view text, std::string_view colour) {
    return Action{seat, withColour(text, colour)}.format();
}
std::string startgame(const GameSettings& settings) { return Startgame{settings}.format(); }
std::string justwatch(int seat, int mode) { return Justwatch{seat, mode}.format(); }
std::string playerdone(int seat, const std::vector<PathStep>& path) { return Playerdone{seat, path}.format(); }
std::string direction(int seat, int dir) { return Direction{seat, dir}.format(); }
std::string selectletter(int seat, int position, int x, int y) {
    return Selectletter{seat, position, x, y}.format();
}
std::string selectclear(int seat) { return Selectclear{seat}.format(); }
std::string clearletter(int seat, int position) { return Clearletter{seat, position}.format(); }
std::string shuffle(int seat) { return Shuffle{seat}.format(); }

}  // namespace toserver

// ---- Server to client -----------------------------------------------------------------
namespace toclient {

std::string Sendlogininfo::format() const { return Builder(kName).field(seat).done(); }
Sendlogininfo Sendlogininfo::parse(std::string_view payload) {
    FieldReader f(payload);
    return Sendlogininfo{strToInt(lastField(f))};
}

std::string Chat::format() const { return Builder(kName).field(text).done(); }
Chat Chat::parse(std::string_view payload) { return Chat{std::string(payload)}; }

std::string Action::format() const { return Builder(kName).field(text).done(); }
Action Action::parse(std::string_view payload) { return Action{std::string(payload)}; }

namespace {
// Seat and name, the name the rest of the line.
template <typename M>
M seatAndName(std::string_view payload) {
    FieldReader f(payload);
    M m;
    m.seat = f.nextInt();
    m.name = f.rest();
    return m;
}
}  // namespace

std::string Newplayerinfo::format() const { return Builder(kName).field(seat).field(name).done(); }
Newplayerinfo Newplayerinfo::parse(std::string_view payload) { return seatAndName<Newplayerinfo>(payload); }

std::string Havewrongversion::format() const { return Builder(kName).field(name).done(); }
Havewrongversion Havewrongversion::parse(std::string_view payload) {
    return Havewrongversion{std::string(payload)};
}

std::string Language::format() const { return Builder(kName).field(code).trailing(); }
Language Language::parse(std::string_view payload) {
    FieldReader f(payload);
    std::string code = f.next();
    return Language{isLanguageCode(code) ? std::move(code) : std::string()};
}

std::string Wrongversion::format() const { return Builder(kName).trailing(); }
Wrongversion Wrongversion::parse(std::string_view) { return {}; }

std::string Existingplayers::format() const { return Builder(kName).field(seat).field(name).done(); }
Existingplayers Existingplayers::parse(std::string_view payload) { return seatAndName<Existingplayers>(payload); }

std::string Playerdisconnected::format() const { return Builder(kName).field(seat).field(name).done(); }
Playerdisconnected Playerdisconnected::parse(std::string_view payload) {
    return seatAndName<Playerdisconnected>(payload);
}

std::string Startgame::format() const { return startgameText(settings); }
Startgame Startgame::parse(std::string_view payload) {
    FieldReader f(payload);
    Startgame m{startgameHead(f)};
    m.settings.shuffles = intOrZero(f);
    return m;
}

std::string Nextplayer::format() const { return Builder(kName).field(seat).field(shufflesLeft).trailing(); }
Nextplayer Nextplayer::parse(std::string_view payload) {
    FieldReader f(payload);
    Nextplayer m;
    m.seat = f.nextInt();
    m.shufflesLeft = intOrZero(f);
    return m;
}

std::string Winner::format() const { return Builder(kName).field(name).trailing(); }
Winner Winner::parse(std::string_view payload) {
    Winner m{std::string(payload)};
    if (!m.name.empty() && m.name.back() == '+') m.name.pop_back();
    return m;
}

std::string Full::format() const { return Builder(kName).trailing(); }
Full Full::parse(std::string_view) { return {}; }

std::string Justwatching::format() const { return Builder(kName).field(seat).field(watching ? 1 : 2).done(); }
Justwatching Justwatching::parse(std::string_view payload) {
    FieldReader f(payload);
    Justwatching m;
    m.seat = f.nextInt();
    m.watching = lastField(f) == "1";
    return m;
}

Theboard Theboard::of(const BoardCodes& codes) {
    Theboard m;
    m.squares.reserve(rules::kSquareCount);
    for (int x = 0; x < rules::kBoardSize; ++x)
        for (int y = 0; y < rules::kBoardSize; ++y)
            m.squares.push_back({x, y, codes[static_cast<std::size_t>(x)][static_cast<std::size_t>(y)]});
    return m;
}
std::string Theboard::format() const {
    Builder b(kName);
    for (const auto& s : squares) b.field(s.x).field(s.y).field(s.code);
    return b.done();
}
Theboard Theboard::parse(std::string_view payload) {
    FieldReader f(payload);
    Theboard m;
    m.squares.reserve(rules::kSquareCount);
    f.beginList();
    while (!f.atListEnd()) {
        SquareCode s;
        s.x = f.nextInt();
        s.y = f.nextInt();
        s.code = f.nextInt();
        m.squares.push_back(s);
    }
    return m;
}

std::string Notvalid::format() const { return Builder(kName).field(seat).field(word).trailing(); }
Notvalid Notvalid::parse(std::string_view payload) {
    FieldReader f(payload);
    Notvalid m;
    m.seat = f.nextInt();
    m.word = f.next();
    return m;
}

std::string Madeword::format() const {
    Builder b(kName);
    b.field(seat).field(word).field(points).field(total).field(teamA).field(teamB);
    for (const auto& sq : squares) b.field(sq.x).field(sq.y);
    return b.done();
}
Madeword Madeword::parse(std::string_view payload) {
    FieldReader f(payload);
    Madeword m;
    m.seat = f.nextInt();
    m.word = f.next();
    m.points = f.nextInt();
    m.total = f.nextInt();
    m.teamA = f.nextInt();
    m.teamB = f.nextInt();
    f.beginList();
    while (!f.atListEnd()) {
        Square s;
        s.x = f.nextInt();
        s.y = f.nextInt();
        m.squares.push_back(s);
    }
    return m;
}

std::string Timeup::format() const { return Builder(kName).trailing(); }
Timeup Timeup::parse(std::string_view) { return {}; }

std::string Gamestats::format() const {
    Builder b(kName);
    b.field(turnSeat).field(playTo).field(seconds).field(secondsLeft).field(teamFlag(team));
    for (int score : scores) b.field(score);
    return b.field(teamA).field(teamB).trailing();
}
Gamestats Gamestats::parse(std::string_view payload) {
    FieldReader f(payload);
    Gamestats m;
    m.turnSeat = f.nextInt();
    m.playTo = f.nextInt();
    m.seconds = f.nextInt();
    m.secondsLeft = f.nextInt();
    m.team = f.next() == "t";
    for (int& score : m.scores) score = f.nextInt();
    m.teamA = f.nextInt();
    m.teamB = f.nextInt();
    return m;
}

std::string Moving::format() const { return Builder(kName).field(direction).trailing(); }
Moving Moving::parse(std::string_view payload) {
    FieldReader f(payload);
    return Moving{f.nextInt()};
}

std::string Useshuffle::format() const {
    return Builder(kName).field(seat).field(shufflesLeft)
        .field(countdown ? std::to_string(*countdown) : std::string()).trailing();
}
Useshuffle Useshuffle::parse(std::string_view payload) {
    FieldReader f(payload);
    Useshuffle m;
    m.seat = f.nextInt();
    m.shufflesLeft = f.nextInt();
    m.countdown = toInt(f.next());
    return m;
}

std::string Shufflesl::format() const {
    Builder b(kName);
    for (int v : left) b.field(v);
    return b.trailing();
}
Shufflesl Shufflesl::parse(std::string_view payload) {
    FieldReader f(payload);
    Shufflesl m;
    for (int& v : m.left) v = f.nextInt();
    return m;
}

std::string Bonus::format() const { return Builder(kName).field(seat).field(points).trailing(); }
Bonus Bonus::parse(std::string_view payload) {
    FieldReader f(payload);
    Bonus m;
    m.seat = intOrZero(f);
    m.points = intOrZero(f);
    return m;
}

std::string sendlogininfo(int seat) { return Sendlogininfo{seat}.format(); }
std::string full() { return Full{}.format(); }
std::string newplayerinfo(int seat, std::string_view name) { return Newplayerinfo{seat, std::string(name)}.format(); }
std::string existingplayers(int seat, std::string_view name) {
    return Existingplayers{seat, std::string(name)}.format();
}
std::string language(std::string_view code) { return Language{std::string(code)}.format(); }
std::string havewrongversion(std::string_view name) { return Havewrongversion{std::string(name)}.format(); }
std::string wrongversion() { return Wrongversion{}.format(); }
std::string theboard(const BoardCodes& codes) { return Theboard::of(codes).format(); }
std::string gamestats(const GameStats& stats) { return stats.format(); }
std::string shufflesl(const std::array<int, 4>& left) { return Shufflesl{left}.format(); }
std::string playerdisconnected(int seat, std::string_view name) {
    return Playerdisconnected{seat, std::string(name)}.format();
}
std::string chat(std::string_view name, std::string_view lineAndColour) {
    std::string text(name);
    text += " chats: ";
    text += lineAndColour;
    return Chat{std::move(text)}.format();
}
std::string action(std::string_view name, std::string_view textAndColour) {
    std::string text(name);
    text += ' ';
    text += textAndColour;
    return Action{std::move(text)}.format();
}
std::string justwatching(int seat, int mode) { return Justwatching{seat, mode == 1}.format(); }
std::string startgame(const GameSettings& settings) { return Startgame{settings}.format(); }
std::string nextplayer(int seat, int shufflesLeft) { return Nextplayer{seat, shufflesLeft}.format(); }
std::string selectletter(int seat, int position, int x, int y) {
    return Selectletter{seat, position, x, y}.format();
}
std::string selectclear(int seat) { return Selectclear{seat}.format(); }
std::string clearletter(int seat, int position) { return Clearletter{seat, position}.format(); }
std::string useshuffle(int seat, int shufflesLeft, int countdown) {
    return Useshuffle{seat, shufflesLeft, countdown}.format();
}
std::string notvalid(int seat, std::string_view word) { return Notvalid{seat, std::string(word)}.format(); }
std::string madeword(int seat, std::string_view word, int points, int total, int teamA, int teamB,
                     const std::vector<Square>& squares) {
    return Madeword{seat, std::string(word), points, total, teamA, teamB, squares}.format();
}
std::string bonus(int seat, int points) { return Bonus{seat, points}.format(); }
std::string timeup() { return Timeup{}.format(); }
std::string moving(int dir) { return Moving{dir}.format(); }
std::string winner(std::string_view name) { return Winner{std::string(name)}.format(); }

}  // namespace toclient

}  // namespace quorbit::protocol

namespace quorbit::protocol {
namespace {

// Each side's list of message types follows its list of names.
template <typename Tuple, std::size_t N, std::size_t... I>
constexpr bool sameNames(const std::array<std::string_view, N>& list, std::index_sequence<I...>) {
    return sizeof...(I) == N && ((std::tuple_element_t<I, Tuple>::kName == list[I]) && ...);
}
static_assert(sameNames<toserver::Messages>(names::kServerHears,
                                            std::make_index_sequence<std::tuple_size_v<toserver::Messages>>{}));
static_assert(sameNames<toclient::Messages>(names::kClientHears,
                                            std::make_index_sequence<std::tuple_size_v<toclient::Messages>>{}));

}  // namespace
}  // namespace quorbit::protocol
