#pragma once
// The computer player: given the board, it chooses a path to play. One implementation per
// level of play; the game asks the player of a seat's level and submits what it chose
// like any other word.
#include <memory>
#include <string>
#include <vector>

#include "common/random.h"
#include "rules/board.h"
#include "rules/path.h"
#include "rules/zubolevel.h"
#include "solver/solver.h"

namespace quorbit::computer {

class ComputerPlayer {
public:
    virtual ~ComputerPlayer() = default;
    // The path (positions 1..n) it plays on `board`, or nothing when it finds none (the
    // turn then runs out).
    virtual std::optional<std::vector<rules::PathStep>> choosePath(const rules::Grid& board) = 0;
};

// Classic: a word from its list, from a random place on, traced greedily (tracer.h). It
// draws from the table's generator, one draw per choice.
class ClassicPlayer final : public ComputerPlayer {
public:
    ClassicPlayer(const std::vector<std::string>& words, Random& random) : words_(words), random_(random) {}
    std::optional<std::vector<rules::PathStep>> choosePath(const rules::Grid& board) override;

private:
    const std::vector<std::string>& words_;
    Random& random_;
};

// Strong and Expert: the best-scoring word the solver finds, from the computer's own list
// (Strong) or from the whole dictionary (Expert). No random draws.
class SolverPlayer final : public ComputerPlayer {
public:
    SolverPlayer(const solver::Solver& solver, solver::Vocabulary vocabulary)
        : solver_(solver), vocabulary_(vocabulary) {}
    std::optional<std::vector<rules::PathStep>> choosePath(const rules::Grid& board) override;

private:
    const solver::Solver& solver_;
    solver::Vocabulary vocabulary_;
};

// The three players of one table, one per level, sharing that table's word list,
// generator and solver.
class ComputerPlayers {
public:
    ComputerPlayers(const std::vector<std::string>& words, Random& random, const solver::Solver& solver)
        : classic_(words, random),
          strong_(solver, solver::Vocabulary::Computer),
          expert_(solver, solver::Vocabulary::Dictionary) {}
    ComputerPlayer& at(rules::ZuboLevel level);

private:
    ClassicPlayer classic_;
    SolverPlayer strong_;
    SolverPlayer expert_;
};

}  // namespace quorbit::computer
