#include "rules/board.h"

namespace quorbit::rules {

void slide(Grid& board, int direction, int empty) {
    // Position 0 of a line is the end the tiles slide toward; every hole takes the
    // nearest tile behind it.
    auto cell = [&board, direction](int line, int pos) -> int& {
        switch (direction) {
            case kLeft: return at(board, {pos, line});
            case kUp: return at(board, {line, pos});
            case kRight: return at(board, {kBoardSize - 1 - pos, line});
            default: return at(board, {line, kBoardSize - 1 - pos});
        }
    };
    for (int line = 0; line < kBoardSize; ++line)
        for (int pos = 0; pos < kBoardSize - 1; ++pos) {
            if (cell(line, pos) != empty) continue;
            for (int from = pos + 1; from < kBoardSize; ++from) {
                if (cell(line, from) == empty) continue;
                cell(line, pos) = cell(line, from);
                cell(line, from) = empty;
                break;
            }
        }
}

}  // namespace quorbit::rules
