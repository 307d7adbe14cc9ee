// Game: start, deals, rotation, turn actions, submission and scoring, the win test, the
// turn clock and the computer player's turns.
#include "server/game.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <cstdint>
#include <span>

#include "dictionary/builtin_words.h"
#include "rules/letters.h"
#include "rules/scoring.h"
#include "protocol/limits.h"
#include "rules/deal.h"

namespace quorbit::server {

using rules::Phase;
using rules::kPlayingSeats;
using rules::kBoardSize;
using rules::ZuboLevel;
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

Game::Game(GameTable& table, const dictionary::TDictn& spell, Random& random, const std::vector<std::string>& words)
    : table_(table), englishSpell_(spell), englishWords_(words), random_(random) {
    takeLanguage();
}

void Game::setLanguage(std::shared_ptr<const language::LoadedLanguage> language) {
    if (language && language->language().builtIn()) language = nullptr;  // English is the table's own
    next_ = std::move(language);
}

void Game::takeLanguage() {
    computers_.reset();
    if (language_) {
        spell_ = &language_->dictionary();
        values_ = &language_->values();
        words_ = dictionary::wordLines(language_->computerWords());
        solver_ = std::make_unique<solver::Solver>(language_->graph(), language_->values());
        computers_ = std::make_unique<computer::ComputerPlayers>(words_, random_, *solver_);
    } else {
        spell_ = &englishSpell_;
        values_ = &rules::kEnglishValues;
        words_.clear();
        solver_ = std::make_unique<solver::Solver>();
        computers_ = std::make_unique<computer::ComputerPlayers>(englishWords_, random_, *solver_);
    }
}

void Game::start(const GameOptions& options) {
    setTimer1(false);
    setComputertimer(false);
    if (next_ != language_) {
        language_ = next_;
        takeLanguage();
        table_.sendAll(toclient::language(languageCode()));
    }
    running_ = true;
    playtoscore_ = options.playTo;
    timeperturn_ = options.seconds;
    teamgame_ = options.team;
    shufflespergame_ = options.shuffles;
    scores_.fill(0);
    shufflesleft_.fill(shufflespergame_);
    // The starter's name travels on as received; the flag as the server understood it,
    // so that every client agrees with the server on whether teams play.
    protocol::GameSettings s;
    s.starter = options.starter;
    s.playTo = playtoscore_;
    s.seconds = timeperturn_;
    s.shuffles = shufflespergame_;
    s.team = teamgame_;
    table_.sendAll(toclient::startgame(s));

    for (auto& column : board_) column.fill(rules::kServerUndealt);
    teamascore_ = 0;
    teambscore_ = 0;
    currentplayer_ = 0;
    lastplayer_ = 0;
    shiftdirection_ = 1;
    createmaze();
    startnextround();
}

void Game::seatLeft(int seat) {
    // A player who leaves during his own turn: the computer finishes it. Where the host's
    // own program holds seat 1 that seat is the exception, as the server goes away with it.
    const bool serverLeaves = hostSeatHoldsServer_ && seat == rules::kHostSeat;
    if (running_ && seat == currentplayer_ && !serverLeaves) startComputer();
}

void Game::nowWatching(int seat) {
    if (running_ && seat == currentplayer_) startComputer();
}

void Game::tellNewcomer(int seat) {
    if (!running_) return;
    table_.sendTo(seat, toclient::theboard(board_));
    toclient::GameStats stats;
    stats.turnSeat = currentplayer_;
    stats.playTo = playtoscore_;
    stats.seconds = timeperturn_;
    stats.secondsLeft = countdown_;
    stats.team = teamgame_;
    std::array<int, 4> left{};
    for (int s = 1; s <= kPlayingSeats; ++s) {
        stats.scores[static_cast<std::size_t>(s - 1)] = score(s);
        left[static_cast<std::size_t>(s - 1)] = shufflesleft(s);
    }
    stats.teamA = teamascore_;
    stats.teamB = teambscore_;
    table_.sendTo(seat, toclient::gamestats(stats));
    table_.sendTo(seat, toclient::shufflesl(left));
}

void Game::startnextround() {
    createmaze();
    findplayer();
}

int Game::drawLetter(int v) const { return language_ ? language_->language().draw(v) : rules::drawcode(v); }

void Game::createmaze() {
    for (int x = 0; x < kBoardSize; ++x)
        for (int y = 0; y < kBoardSize; ++y) {
            int& code = board_[x][y];
            if (code == rules::kServerUndealt || code == rules::kServerEmpty) code = drawLetter(random_.below(98) + 1);
        }
    table_.sendAll(toclient::theboard(board_));
}

bool Game::eligible(int seat) const {
    if (!rules::isPlayingSeat(seat)) return false;
    if (table_.control(seat) != SeatControl::Nobody) return true;
    // In a team game seats 3 and 4 come together: either one held brings the other in,
    // played by the computer.
    return teamgame_ && ((seat == 3 && table_.control(4) != SeatControl::Nobody) ||
                         (seat == 4 && table_.control(3) != SeatControl::Nobody));
}

int Game::nextEligible(int after) const {
    int seat = (after >= 0 && after <= kPlayingSeats) ? after : 0;
    do {
        seat = seat + 1 > kPlayingSeats ? 1 : seat + 1;
    } while (!eligible(seat));
    return seat;
}

void Game::findplayer() {
    currentplayer_ = nextEligible(lastplayer_);
    lastplayer_ = 0;
    table_.sendAll(toclient::nextplayer(currentplayer_, shufflesleft(currentplayer_)));
    if (playedByComputer(currentplayer_)) startComputer();
    countdown_ = satAdd(timeperturn_, rules::kTurnGrace);
    phase_ = Phase::Turn;
    setTimer1(true);
}

// A seat that no person plays: the computer's, a watcher's, an empty one brought in as a
// team partner, or one whose player left during his turn.
bool Game::playedByComputer(int seat) const { return table_.control(seat) != SeatControl::Person; }

// ---- turn actions --------------------------------------------------------------------

// A turn message counts only from the current player's own connection, and only in a
// phase that allows the action.
bool Game::turnMessageFrom(int from, int seat, rules::TurnAction action) const {
    return currentplayer_ != 0 && seat == currentplayer_ && from != 0 && seat == from && rules::allows(phase_, action);
}

void Game::selectletter(int from, const toserver::Selectletter& m) {
    const int seat = m.seat;
    if (!turnMessageFrom(from, seat, rules::TurnAction::Letter)) return;
    table_.sendAllBut(seat, toclient::selectletter(seat, m.position, m.x, m.y));
}

void Game::selectclear(int from, const toserver::Selectclear& m) {
    const int seat = m.seat;
    if (!turnMessageFrom(from, seat, rules::TurnAction::Letter)) return;
    table_.sendAllBut(seat, toclient::selectclear(seat));
}

void Game::clearletter(int from, const toserver::Clearletter& m) {
    const int seat = m.seat;
    if (!turnMessageFrom(from, seat, rules::TurnAction::Letter)) return;
    table_.sendAllBut(seat, toclient::clearletter(seat, m.position));
}

void Game::direction(int from, const toserver::Direction& m) {
    const int seat = m.seat;
    if (lastplayer_ == 0 || seat != lastplayer_ || from == 0 || seat != from) return;
    const int dir = m.direction;
    // Only during the wait after a word, and it only ever shortens that wait: repeated
    // requests cannot hold the game still.
    if (!rules::allows(phase_, rules::TurnAction::Direction)) return;
    shiftdirection_ = rules::isDirection(dir) ? dir : rules::kDown;
    countdown_ = std::min(countdown_, rules::kDirectionChosenWait);
}

void Game::shuffle(int from, const toserver::Shuffle& m) {
    const int seat = m.seat;
    if (!turnMessageFrom(from, seat, rules::TurnAction::Shuffle)) return;
    int& left = shufflesleft_[static_cast<std::size_t>(seat)];
    if (left < 1) return;
    --left;
    countdown_ = satAdd(countdown_, timeperturn_ / 2);
    table_.sendAll(toclient::useshuffle(seat, left, countdown_));
    for (auto& column : board_) column.fill(rules::kServerUndealt);
    createmaze();
}

// ---- submission and scoring --------------------------------------------------------------

void Game::playerdone(int from, const toserver::Playerdone& m) {
    const int seat = m.seat;
    if (from == 0 || seat != from) return;
    // A seat the computer plays (its owner just watches) hands the turn to the computer
    // when its own path does not hold together.
    if (submitPath(seat, m.path) == Submission::NotTouching && playedByComputer(seat)) computerplay();
}

Game::Submission Game::submitPath(int seat, std::span<const protocol::PathStep> steps) {
    if (seat < 1 || seat > kPlayingSeats || currentplayer_ == 0 || seat != currentplayer_ || steps.empty() ||
        !rules::allows(phase_, rules::TurnAction::Word))
        return Submission::Ignored;
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
                table_.log("stopping here - twice");
                return Submission::Repeated;
            }
        }
        if (n > 0 && !rules::neighbours(used[n - 1], sq)) return Submission::NotTouching;
        used[n++] = sq;
        word += static_cast<char>(std::toupper(static_cast<unsigned char>(rules::letterAt(rules::at(board_, sq)))));
    }

    if (!spell_->IsWord(word)) {
        table_.sendTo(seat, toclient::notvalid(seat, word));
        return Submission::NotAWord;
    }

    shiftdirection_ = random_.below(4) + 1;
    lastplayer_ = currentplayer_;
    setTimer1(false);
    currentplayer_ = 0;

    const std::span<const Square> path(used.data(), n);
    const int total = rules::scorePath(board_, path, *values_);
    for (const Square sq : path) rules::at(board_, sq) = rules::kServerEmpty;
    const std::vector<Square> squares(path.begin(), path.end());

    const int team = rules::teamOf(seat);
    if (team == rules::kTeamA) teamascore_ = satAdd(teamascore_, total);
    if (team == rules::kTeamB) teambscore_ = satAdd(teambscore_, total);
    int& score = scores_[static_cast<std::size_t>(seat)];
    score = satAdd(score, total);
    table_.sendAll(toclient::madeword(seat, word, total, score, teamascore_, teambscore_, squares));
    if (path.size() == rules::kMaxWord) table_.sendAll(toclient::bonus(seat, rules::kSevenLetterBonus));
    if (checkforwin(seat)) return Submission::Scored;
    countdown_ = playedByComputer(seat) ? rules::kDirectionWaitComputer : rules::kDirectionWaitPerson;
    phase_ = Phase::DirectionWait;
    setTimer1(true);
    return Submission::Scored;
}

bool Game::checkforwin(int seat) {
    // A win is decided only when a round ends: when the rotation goes back to its first
    // seat (seat 1, or the lowest seat in play while nobody holds seat 1).
    if (nextEligible(seat) > seat) return false;
    std::string name;
    if (teamgame_) {
        if (teamascore_ < playtoscore_ && teambscore_ < playtoscore_) return false;
        if (teamascore_ == teambscore_) return false;
        name = rules::teamName(teamascore_ > teambscore_ ? rules::kTeamA : rules::kTeamB);
    } else {
        int best = 0;
        bool reached = false;
        for (int s = 1; s <= kPlayingSeats; ++s) {
            if (score(s) >= playtoscore_) reached = true;
            if (best == 0 || score(s) > score(best)) best = s;
        }
        if (!reached) return false;
        for (int s = 1; s <= kPlayingSeats; ++s)
            if (s != best && score(s) == score(best)) return false;
        name = table_.playerName(best);
    }
    // No turn runs after a win, in either kind of game.
    currentplayer_ = 0;
    running_ = false;
    setTimer1(false);
    table_.sendAll(toclient::winner(name));
    table_.gameWon(name);
    return true;
}

// ---- clocks ------------------------------------------------------------------------

void Game::Timer1Timer() {
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
            table_.sendAll(toclient::timeup());
            break;
        case Phase::DirectionWait:
            table_.sendAll(toclient::moving(shiftdirection_));
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

void Game::computertimerTimer() {
    if (!computertimerEnabled_) return;
    --computerdelay_;
    if (computerdelay_ >= 1) return;
    setComputertimer(false);
    if (running_ && currentplayer_ != 0 && rules::allows(phase_, rules::TurnAction::Word) &&
        playedByComputer(currentplayer_))
        computerplay();
}

void Game::setZubolevel(ZuboLevel level) { zubolevels_.fill(level); }

void Game::setZubolevel(int seat, ZuboLevel level) {
    if (seat >= 0 && seat < static_cast<int>(zubolevels_.size())) zubolevels_[static_cast<std::size_t>(seat)] = level;
}

ZuboLevel Game::zubolevel(int seat) const {
    return zubolevels_[static_cast<std::size_t>(rules::isSeat(seat) ? seat : 0)];
}

void Game::computerplay() {
    const int seat = currentplayer_;
    if (seat == 0) return;
    const auto path = computers_->at(zubolevel(seat)).choosePath(board_);
    if (!path) return;  // nothing found: the turn runs out
    submitPath(seat, *path);
}

// ---- clocks ------------------------------------------------------------------------

void Game::setTimer1(bool on) {
    timer1Enabled_ = on;
    table_.clockChanged(ServerTimer::Timer1, on);
}

void Game::setComputertimer(bool on) {
    computertimerEnabled_ = on;
    table_.clockChanged(ServerTimer::Computertimer, on);
}

void Game::startComputer() {
    computerdelay_ = rules::kComputerDelay;
    setComputertimer(true);
}

}  // namespace quorbit::server
