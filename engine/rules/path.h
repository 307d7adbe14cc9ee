#pragma once
// One square of a played word: its place in the word and where it lies on the board.
namespace quorbit::rules {

struct PathStep {
    int position;  // 1-based place in the word
    int x;
    int y;
    friend bool operator==(const PathStep&, const PathStep&) = default;
};

}  // namespace quorbit::rules
