#include "protocol/messages.h"

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

std::string withColour(std::string_view text, std::string_view colour) {
    std::string s(text);
    s += '|';
    s += colour;
    return s;
}

std::string startgameText(const GameSettings& s) {
    return Builder(names::startgame).field(s.starter).field(s.playTo).field(s.seconds)
        .field(teamFlag(s.team)).field(s.shuffles).trailing();
}

}  // namespace

namespace toserver {
std::string logininfo(int seat, std::string_view version, std::string_view name) {
    return Builder(names::logininfo).field(seat).field(version).field(name).done();
}
std::string kickhim(int requester, int target) {
    return Builder(names::kickhim).field(requester).field(target).trailing();
}
std::string chat(int seat, std::string_view line, std::string_view colour) {
    return Builder(names::chat).field(seat).field(withColour(line, colour)).done();
}
std::string action(int seat, std::string_view text, std::string_view colour) {
    return Builder(names::action).field(seat).field(withColour(text, colour)).done();
}
std::string startgame(const GameSettings& settings) { return startgameText(settings); }
std::string justwatch(int seat, int mode) {
    return Builder(names::justwatch).field(seat).field(mode).done();
}
std::string playerdone(int seat, const std::vector<PathStep>& path) {
    Builder b(names::playerdone);
    b.field(seat);
    for (const auto& step : path) b.field(step.position).field(step.x).field(step.y);
    return b.done();
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
std::string direction(int seat, int dir) {
    return Builder(names::direction).field(seat).field(dir).trailing();
}
std::string selectletter(int seat, int position, int x, int y) {
    return Builder(names::selectletter).field(seat).field(position).field(x).field(y).trailing();
}
std::string selectclear(int seat) { return Builder(names::selectclear).field(seat).trailing(); }
std::string clearletter(int seat, int position) {
    return Builder(names::clearletter).field(seat).field(position).trailing();
}
std::string shuffle(int seat) { return Builder(names::shuffle).field(seat).trailing(); }
}  // namespace toserver

namespace toclient {
std::string sendlogininfo(int seat) { return Builder(names::sendlogininfo).field(seat).done(); }
std::string full() { return Builder(names::full).trailing(); }
std::string newplayerinfo(int seat, std::string_view name) {
    return Builder(names::newplayerinfo).field(seat).field(name).done();
}
std::string existingplayers(int seat, std::string_view name) {
    return Builder(names::existingplayers).field(seat).field(name).done();
}
std::string havewrongversion(std::string_view name) {
    return Builder(names::havewrongversion).field(name).done();
}
std::string wrongversion() { return Builder(names::wrongversion).trailing(); }
std::string theboard(const BoardCodes& codes) {
    Builder b(names::theboard);
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) b.field(x).field(y).field(codes[x][y]);
    return b.done();
}
std::string gamestats(const GameStats& s) {
    Builder b(names::gamestats);
    b.field(s.turnSeat).field(s.playTo).field(s.seconds).field(s.secondsLeft).field(teamFlag(s.team));
    for (int score : s.scores) b.field(score);
    return b.field(s.teamA).field(s.teamB).trailing();
}
std::string shufflesl(const std::array<int, 4>& left) {
    Builder b(names::shufflesl);
    for (int v : left) b.field(v);
    return b.trailing();
}
std::string playerdisconnected(int seat, std::string_view name) {
    return Builder(names::playerdisconnected).field(seat).field(name).done();
}
std::string chat(std::string_view name, std::string_view lineAndColour) {
    std::string text(name);
    text += " chats: ";
    text += lineAndColour;
    return Builder(names::chat).field(text).done();
}
std::string action(std::string_view name, std::string_view textAndColour) {
    std::string text(name);
    text += ' ';
    text += textAndColour;
    return Builder(names::action).field(text).done();
}
std::string justwatching(int seat, int mode) {
    return Builder(names::justwatching).field(seat).field(mode).done();
}
std::string startgame(const GameSettings& settings) { return startgameText(settings); }
std::string nextplayer(int seat, int shufflesLeft) {
    return Builder(names::nextplayer).field(seat).field(shufflesLeft).trailing();
}
std::string selectletter(int seat, int position, int x, int y) {
    return toserver::selectletter(seat, position, x, y);
}
std::string selectclear(int seat) { return toserver::selectclear(seat); }
std::string clearletter(int seat, int position) { return toserver::clearletter(seat, position); }
std::string useshuffle(int seat, int shufflesLeft, int countdown) {
    return Builder(names::useshuffle).field(seat).field(shufflesLeft).field(countdown).trailing();
}
std::string notvalid(int seat, std::string_view word) {
    return Builder(names::notvalid).field(seat).field(word).trailing();
}
std::string madeword(int seat, std::string_view word, int points, int total, int teamA, int teamB,
                     const std::vector<Square>& squares) {
    Builder b(names::madeword);
    b.field(seat).field(word).field(points).field(total).field(teamA).field(teamB);
    for (const auto& sq : squares) b.field(sq.x).field(sq.y);
    return b.done();
}
std::string bonus(int seat, int points) {
    return Builder(names::bonus).field(seat).field(points).trailing();
}
std::string timeup() { return Builder(names::timeup).trailing(); }
std::string moving(int dir) { return Builder(names::moving).field(dir).trailing(); }
std::string winner(std::string_view name) { return Builder(names::winner).field(name).trailing(); }
}  // namespace toclient

}  // namespace quorbit::protocol
