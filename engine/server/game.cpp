// TServer: game start, deals, rotation, turn actions, submission and scoring, the win
// test, the turn clock and the computer player's turns.
#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <span>

#include "rules/letters.h"
#include "protocol/limits.h"
#include "rules/deal.h"
#include "server/computer.h"
#include "server/server.h"

namespace quorbit::server {

using protocol::FieldReader;
using protocol::Square;
namespace toclient = protocol::toclient;
namespace toserver = protocol::toserver;

namespace {

// Sums that saturate instead of overflowing.
int satAdd(int a, int b) {
    const std::int64_t s = static_cast<std::int64_t>(a) + b;
    return static_cast<int>(std::clamp<std::int64_t>(s, INT_MIN, INT_MAX));
}

}  // namespace

// ---- start and rotation --------------------------------------------------------------

void TServer::startgame(FieldReader& f) {
    // Only the host starts (or restarts) a game.
    if (senderSeat_ != rules::kHostSeat) return;
    // Every field is read before anything changes, so a bad request leaves the table as
    // it was instead of a game marked running with no board.
    protocol::GameSettings s;
    s.starter = protocol::cleanName(f.next());
    // Options out of range are clamped into it, so the countdown and the shuffles stay
    // within what the turn clock can count.
    const int playto = std::clamp(f.nextInt(), protocol::kMinPlayTo, protocol::kMaxPlayTo);
    const int seconds = std::clamp(f.nextInt(), protocol::kMinSeconds, protocol::kMaxSeconds);
    const std::string flag = f.next();
    const int shuffles = std::clamp(f.nextInt(), protocol::kMinShuffles, protocol::kMaxShuffles);

    setTimer1(false);
    setComputertimer(false);
    gamerunning_ = true;
    playtoscore_ = playto;
    timeperturn_ = seconds;
    teamgame_ = (flag == "t");
    shufflespergame_ = shuffles;
    for (int seat = 1; seat <= kPlayingSeats; ++seat) {
        tplayer& p = player(seat);
        p.score = 0;
        p.watching = false;
        p.shufflesleft = shufflespergame_;
    }
    // The starter's name travels on as received; the flag as the server understood it,
    // so that every client agrees with the server on whether teams play.
    s.playTo = playtoscore_;
    s.seconds = timeperturn_;
    s.shuffles = shufflespergame_;
    s.team = teamgame_;
    sendAll(toclient::startgame(s));

    for (auto& column : board_) column.fill(rules::kServerUndealt);
    teamascore_ = 0;
    teambscore_ = 0;
    currentplayer_ = 0;
    lastplayer_ = 0;
    shiftdirection_ = 1;
    createmaze();
    startnextround();
}

void TServer::startnextround() {
    createmaze();
    findplayer();
}

void TServer::createmaze() {
    for (int x = 0; x < kBoardSize; ++x)
        for (int y = 0; y < kBoardSize; ++y) {
            int& code = board_[x][y];
            if (code == rules::kServerUndealt || code == rules::kServerEmpty) code = rules::drawcode(random_.below(98) + 1);
        }
    sendAll(toclient::theboard(board_));
}

bool TServer::eligible(int seat) const {
    if (seat < 1 || seat > kPlayingSeats) return false;
    if (players_[static_cast<std::size_t>(seat)].connected || seat == rules::kComputerSeat) return true;
    // In a team game seats 3 and 4 come together: either one held brings the other in,
    // played by the computer.
    return teamgame_ && ((seat == 3 && players_[4].connected) || (seat == 4 && players_[3].connected));
}

int TServer::nextEligible(int after) const {
    int seat = (after >= 0 && after <= kPlayingSeats) ? after : 0;
    do {
        seat = seat + 1 > kPlayingSeats ? 1 : seat + 1;
    } while (!eligible(seat));
    return seat;
}

void TServer::findplayer() {
    currentplayer_ = nextEligible(lastplayer_);
    lastplayer_ = 0;
    tplayer& p = player(currentplayer_);
    sendAll(toclient::nextplayer(currentplayer_, p.shufflesleft));
    if (playedByComputer(currentplayer_)) startComputer();
    countdown_ = satAdd(timeperturn_, rules::kTurnGrace);
    phase_ = Phase::Turn;
    setTimer1(true);
}

bool TServer::playedByComputer(int seat) const {
    const tplayer& p = players_[static_cast<std::size_t>(clampSeat(seat))];
    return !p.connected || p.watching;
}

// ---- turn actions --------------------------------------------------------------------

// A turn message counts only from the current player's own connection, and only in a
// phase that allows the action.
bool TServer::turnMessageFrom(int seat, rules::TurnAction action) const {
    return currentplayer_ != 0 && seat == currentplayer_ && fromSender(seat) && rules::allows(phase_, action);
}

void TServer::selectletter(FieldReader& f) {
    const int seat = f.nextInt();
    if (!turnMessageFrom(seat, rules::TurnAction::Letter)) return;
    const int position = f.nextInt();
    const int x = f.nextInt();
    const int y = f.nextInt();
    sendAllBut(seat, toclient::selectletter(seat, position, x, y));
}

void TServer::selectclear(FieldReader& f) {
    const int seat = f.nextInt();
    if (!turnMessageFrom(seat, rules::TurnAction::Letter)) return;
    sendAllBut(seat, toclient::selectclear(seat));
}

void TServer::clearletter(FieldReader& f) {
    const int seat = f.nextInt();
    if (!turnMessageFrom(seat, rules::TurnAction::Letter)) return;
    const int position = f.nextInt();
    sendAllBut(seat, toclient::clearletter(seat, position));
}

void TServer::direction(FieldReader& f) {
    const int seat = f.nextInt();
    if (lastplayer_ == 0 || seat != lastplayer_ || !fromSender(seat)) return;
    const int dir = f.nextInt();
    // Only during the wait after a word, and it only ever shortens that wait: repeated
    // requests cannot hold the game still.
    if (!rules::allows(phase_, rules::TurnAction::Direction)) return;
    shiftdirection_ = rules::isDirection(dir) ? dir : rules::kDown;
    countdown_ = std::min(countdown_, rules::kDirectionChosenWait);
}

void TServer::shuffle(FieldReader& f) {
    const int seat = f.nextInt();
    if (!turnMessageFrom(seat, rules::TurnAction::Shuffle)) return;
    tplayer& p = player(seat);
    if (p.shufflesleft < 1) return;
    --p.shufflesleft;
    countdown_ = satAdd(countdown_, timeperturn_ / 2);
    sendAll(toclient::useshuffle(seat, p.shufflesleft, countdown_));
    for (auto& column : board_) column.fill(rules::kServerUndealt);
    createmaze();
}

// ---- submission and scoring --------------------------------------------------------------

void TServer::playerdone(FieldReader& f) {
    const int seat = f.nextInt();
    if (!fromSender(seat)) return;
    const std::vector<protocol::PathStep> path = toserver::readPath(f);
    // A seat the computer plays (its owner just watches) hands the turn to the computer
    // when its own path does not hold together.
    if (submitPath(seat, path) == Submission::NotTouching && playedByComputer(seat)) computerplay();
}

TServer::Submission TServer::submitPath(int seat, std::span<const protocol::PathStep> steps) {
    if (seat < 1 || seat > kPlayingSeats || currentplayer_ == 0 || seat != currentplayer_ || steps.empty() ||
        !rules::allows(phase_, rules::TurnAction::Word))
        return Submission::Ignored;
    tplayer& p = player(seat);
    std::array<Square, rules::kMaxWord> used{};
    std::size_t n = 0;
    std::string word;
    for (const protocol::PathStep& step : steps) {
        // Positions run 1, 2, 3 ... in order and squares lie on the board; anything else
        // drops the submission.
        if (step.position != static_cast<int>(n) + 1 || n >= used.size() || !rules::onBoard(step.x, step.y))
            return Submission::Malformed;
        const Square sq{step.x, step.y};
        for (std::size_t j = 0; j < n; ++j) {
            if (used[j] == sq) {
                logSender("stopping here - twice");
                return Submission::Repeated;
            }
        }
        if (n > 0 && !rules::neighbours(used[n - 1], sq)) return Submission::NotTouching;
        used[n++] = sq;
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(rules::letterAt(rules::at(board_, sq)))));
    }

    if (!spell_.IsWord(word)) {
        if (p.connected) sendTo(seat, toclient::notvalid(seat, word));
        return Submission::NotAWord;
    }

    shiftdirection_ = random_.below(4) + 1;
    lastplayer_ = currentplayer_;
    setTimer1(false);
    currentplayer_ = 0;

    const std::span<const Square> path(used.data(), n);
    const int total = rules::scorePath(board_, path);
    for (const Square sq : path) rules::at(board_, sq) = rules::kServerEmpty;
    const std::vector<Square> squares(path.begin(), path.end());

    const int team = rules::teamOf(seat);
    if (team == rules::kTeamA) teamascore_ = satAdd(teamascore_, total);
    if (team == rules::kTeamB) teambscore_ = satAdd(teambscore_, total);
    p.score = satAdd(p.score, total);
    sendAll(toclient::madeword(seat, word, total, p.score, teamascore_, teambscore_, squares));
    if (path.size() == rules::kMaxWord) sendAll(toclient::bonus(seat, rules::kSevenLetterBonus));
    if (checkforwin(seat)) return Submission::Scored;
    countdown_ = playedByComputer(seat) ? rules::kDirectionWaitComputer : rules::kDirectionWaitPerson;
    phase_ = Phase::DirectionWait;
    setTimer1(true);
    return Submission::Scored;
}

bool TServer::checkforwin(int seat) {
    if (nextEligible(seat) != rules::kHostSeat) return false;  // a win is decided only when a round ends
    std::string name;
    if (teamgame_) {
        if (teamascore_ < playtoscore_ && teambscore_ < playtoscore_) return false;
        if (teamascore_ == teambscore_) return false;
        name = rules::teamName(teamascore_ > teambscore_ ? rules::kTeamA : rules::kTeamB);
    } else {
        int best = 0;
        bool reached = false;
        for (int s = 1; s <= kPlayingSeats; ++s) {
            if (player(s).score >= playtoscore_) reached = true;
            if (best == 0 || player(s).score > player(best).score) best = s;
        }
        if (!reached) return false;
        for (int s = 1; s <= kPlayingSeats; ++s)
            if (s != best && player(s).score == player(best).score) return false;
        name = player(best).name;
        if (name.empty() && best == rules::kComputerSeat) name = rules::kComputerName;
        // A player who left with the winning score still wins under his own name.
        if (name.empty()) name = player(best).lastname;
    }
    // No turn runs after a win, in either kind of game.
    currentplayer_ = 0;
    gamerunning_ = false;
    setTimer1(false);
    sendAll(toclient::winner(name));
    return true;
}

// ---- clocks ------------------------------------------------------------------------

void TServer::Timer1Timer() {
    if (!timer1Enabled_) return;
    --countdown_;
    if (countdown_ >= 1) return;
    setTimer1(false);
    switch (phase_) {
        case Phase::Turn:
            if (checkforwin(currentplayer_)) return;
            lastplayer_ = currentplayer_;
            phase_ = Phase::Pause;
            countdown_ = rules::kPauseTicks;
            setTimer1(true);
            sendAll(toclient::timeup());
            break;
        case Phase::DirectionWait:
            sendAll(toclient::moving(shiftdirection_));
            rules::slide(board_, shiftdirection_, rules::kServerEmpty);
            phase_ = Phase::Pause;
            countdown_ = rules::kPauseTicks;
            setTimer1(true);
            break;
        case Phase::Pause:
            startnextround();
            break;
        case Phase::None:
            break;
    }
}

void TServer::computertimerTimer() {
    if (!computertimerEnabled_) return;
    --computerdelay_;
    if (computerdelay_ >= 1) return;
    setComputertimer(false);
    if (gamerunning_ && currentplayer_ != 0 && rules::allows(phase_, rules::TurnAction::Word) &&
        playedByComputer(currentplayer_))
        computerplay();
}

void TServer::setZubolevel(ZuboLevel level) { zubolevels_.fill(level); }

void TServer::setZubolevel(int seat, ZuboLevel level) {
    if (seat >= 0 && seat < static_cast<int>(zubolevels_.size())) zubolevels_[static_cast<std::size_t>(seat)] = level;
}

void TServer::computerplay() {
    const int seat = currentplayer_;
    if (seat == 0) return;
    std::vector<protocol::PathStep> path;
    const ZuboLevel level = zubolevel(seat);
    if (level == ZuboLevel::Classic) {
        auto choice = chooseword(board_, words_, random_);
        if (!choice) return;  // nothing can be traced: the turn runs out
        path = std::move(choice->path);
    } else {
        const auto best = solver_.best(board_, level == ZuboLevel::Strong ? solver::Vocabulary::Computer
                                                                          : solver::Vocabulary::Dictionary);
        if (!best) return;
        path = best->path();
    }
    submitPath(seat, path);
}

}  // namespace quorbit::server
