#pragma once
// The turn's phases and the clock's lengths, in ticks of one second.
namespace quorbit::rules {

enum class Phase : int {
    None = 0,           // before the first game
    Turn = 1,           // a player builds a word
    DirectionWait = 2,  // after a valid word, waiting for the direction of the slide
    Pause = 3,          // before the next round
};

// What a player does during a turn.
enum class TurnAction {
    Letter,     // adds, removes or clears a letter of the word being built
    Word,       // submits a word
    Shuffle,    // asks for a new board
    Direction,  // chooses where the tiles slide after his word
};

// Whether a phase lets the action count. Building and submitting a word and shuffling
// belong to the turn itself; once the time is up (the pause) they are too late. The
// direction belongs to the wait after a word.
constexpr bool allows(Phase phase, TurnAction action) {
    switch (action) {
        case TurnAction::Letter:
        case TurnAction::Word:
        case TurnAction::Shuffle:
            return phase == Phase::Turn;
        case TurnAction::Direction:
            return phase == Phase::DirectionWait;
    }
    return false;
}

// A turn lasts the agreed seconds plus this grace; the client's clock shows the time
// without it.
inline constexpr int kTurnGrace = 4;
inline constexpr int kDirectionWaitPerson = 5;    // after a person's word
inline constexpr int kDirectionWaitComputer = 2;  // after the computer's word
inline constexpr int kDirectionChosenWait = 2;    // at most this long once the direction is chosen
inline constexpr int kPauseTicks = 4;             // between rounds
inline constexpr int kComputerDelay = 5;          // before the computer moves

}  // namespace quorbit::rules
