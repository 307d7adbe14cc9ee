#include "computer/computer_player.h"

#include "computer/tracer.h"

namespace quorbit::computer {

std::optional<std::vector<rules::PathStep>> ClassicPlayer::choosePath(const rules::Grid& board) {
    auto choice = chooseword(board, words_, random_);
    if (!choice) return std::nullopt;
    return std::move(choice->path);
}

std::optional<std::vector<rules::PathStep>> SolverPlayer::choosePath(const rules::Grid& board) {
    const auto best = solver_.best(board, vocabulary_);
    if (!best) return std::nullopt;
    return best->path();
}

ComputerPlayer& ComputerPlayers::at(rules::ZuboLevel level) {
    switch (level) {
        case rules::ZuboLevel::Strong:
            return strong_;
        case rules::ZuboLevel::Expert:
            return expert_;
        case rules::ZuboLevel::Classic:
            break;
    }
    return classic_;
}

}  // namespace quorbit::computer
