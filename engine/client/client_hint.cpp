// The best word on the board: as a hint during a player's own turn against the computer
// alone (marked and named, but not selected and not sent), and after each word. Words and
// scores are those of the table's language.
#include "client/client_engine.h"
#include "rules/letters.h"
#include "solver/solver.h"

namespace quorbit::client {

bool ClientEngine::hintAvailable() const {
    if (!myturn()) return false;
    for (int seat = 1; seat <= kPlayingSeats; ++seat) {
        if (seat == state_.myseat) continue;
        const SeatValues& values = state_.seat(seat);
        // A person who is not just watching takes part.
        if (values.holder == SeatHolder::Person && !values.watching) return false;
    }
    return true;
}

void ClientEngine::hintClick() {
    if (!hintAvailable()) return;
    touch();
    clearHint();
    if (!wordGraph()) {
        state_.label_status = "Hint: the words of this game's language are not on this computer";
        return;
    }
    const auto best = bestOnBoard();
    if (!best) {
        state_.label_status = "Hint: no word can be made";
        return;
    }
    for (int i = 0; i < best->length; ++i) {
        const auto& sq = best->squares[static_cast<std::size_t>(i)];
        state_.hintmarks[static_cast<std::size_t>(sq.x)][static_cast<std::size_t>(sq.y)] = i + 1;
    }
    const std::string text = std::string(best->word()) + " for " + std::to_string(best->score) + " points";
    state_.label_status = "Hint: " + text;
    // One hint counted per turn, however often it is asked for.
    if (!hintThisTurn_) {
        hintThisTurn_ = true;
        ++state_.hintsTaken;
        addToWords("Hint " + std::to_string(state_.hintsTaken) + ": " + text);
    }
}

std::optional<solver::Found> ClientEngine::bestOnBoard() const {
    const dictionary::WordGraph* graph = wordGraph();
    if (!graph) return std::nullopt;
    protocol::BoardCodes codes{};
    for (std::size_t x = 0; x < kBoardSize; ++x)
        for (std::size_t y = 0; y < kBoardSize; ++y) {
            const int code = state_.boardletters[x][y];
            codes[x][y] = rules::isLetter(code) ? code : rules::kServerEmpty;
        }
    return solver::Solver(*graph, state_.letterValues).best(codes, solver::Vocabulary::Dictionary);
}

void ClientEngine::clearHint() {
    for (auto& column : state_.hintmarks) column.fill(0);
}

}  // namespace quorbit::client
