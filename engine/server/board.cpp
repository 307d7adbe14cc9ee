#include "server/board.h"

#include <array>

#include "common/letters.h"

namespace quorbit::server {
namespace {

constexpr int kEmptyCode = 27;

// Upper end of each letter's range of draws, in the order of the ranges.
struct Range {
    int last;
    char letter;
};
constexpr std::array<Range, 26> kRanges = {{
    {9, 'A'},  {21, 'E'}, {30, 'I'}, {38, 'O'}, {41, 'U'}, {46, 'D'}, {49, 'G'},
    {51, 'H'}, {55, 'L'}, {57, 'M'}, {63, 'N'}, {65, 'P'}, {71, 'R'}, {75, 'S'},
    {81, 'T'}, {83, 'Y'}, {85, 'B'}, {87, 'C'}, {89, 'F'}, {90, 'J'}, {91, 'K'},
    {93, 'W'}, {94, 'Q'}, {96, 'V'}, {97, 'X'}, {98, 'Z'},
}};

bool empty(int code) { return code == kEmptyCode; }

}  // namespace

char letterAt(int code) {
    if (code >= 1 && code <= 26) return static_cast<char>('a' + code - 1);
    if (code >= 27 && code <= 29) return '*';
    return 't';
}

std::string convertoletter(int code) { return std::string(1, letterAt(code)); }

int drawcode(int v) {
    for (const auto& r : kRanges)
        if (v <= r.last) return (v >= 1) ? r.letter - 'A' + 1 : 1;
    return 1;
}

int anybonus(int x, int y, int value) {
    auto at = [x, y](int a, int b) { return x == a && y == b; };
    if (at(3, 3)) return 20;
    if (at(0, 0) || at(0, 6) || at(6, 0) || at(6, 6)) return value;
    if (at(2, 2) || at(2, 4) || at(4, 2) || at(4, 4)) return 2 * value;
    if (at(1, 1) || at(1, 5) || at(5, 1) || at(5, 5)) return kDoubleWord;
    if (at(0, 3) || at(3, 0) || at(3, 6) || at(6, 3)) return kTripleWord;
    return 0;
}

int scorepath(const BoardCodes& board, std::span<const protocol::Square> squares) {
    int total = 0;
    int doubles = 0;
    int triples = 0;
    for (const protocol::Square& sq : squares) {
        const int value = letterworth(board[static_cast<std::size_t>(sq.x)][static_cast<std::size_t>(sq.y)]);
        int extra = anybonus(sq.x, sq.y, value);
        if (extra == kTripleWord) {
            ++triples;
            extra = 0;
        } else if (extra == kDoubleWord) {
            ++doubles;
            extra = 0;
        }
        total += value + extra;
    }
    for (int i = 0; i < doubles; ++i) total *= 2;
    for (int i = 0; i < triples; ++i) total *= 3;
    if (squares.size() == 7) total += kSevenLetterBonus;
    return total;
}

void movedown(BoardCodes& b) {
    for (int x = 0; x < 7; ++x)
        for (int y = 6; y >= 1; --y) {
            if (!empty(b[x][y])) continue;
            for (int from = y - 1; from >= 0; --from)
                if (!empty(b[x][from])) {
                    b[x][y] = b[x][from];
                    b[x][from] = kEmptyCode;
                    break;
                }
        }
}

void moveup(BoardCodes& b) {
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y <= 5; ++y) {
            if (!empty(b[x][y])) continue;
            for (int from = y + 1; from <= 6; ++from)
                if (!empty(b[x][from])) {
                    b[x][y] = b[x][from];
                    b[x][from] = kEmptyCode;
                    break;
                }
        }
}

void moveleft(BoardCodes& b) {
    for (int x = 0; x <= 5; ++x)
        for (int y = 0; y < 7; ++y) {
            if (!empty(b[x][y])) continue;
            for (int from = x + 1; from <= 6; ++from)
                if (!empty(b[from][y])) {
                    b[x][y] = b[from][y];
                    b[from][y] = kEmptyCode;
                    break;
                }
        }
}

void moveright(BoardCodes& b) {
    for (int x = 6; x >= 1; --x)
        for (int y = 0; y < 7; ++y) {
            if (!empty(b[x][y])) continue;
            for (int from = x - 1; from >= 0; --from)
                if (!empty(b[from][y])) {
                    b[x][y] = b[from][y];
                    b[from][y] = kEmptyCode;
                    break;
                }
        }
}

void shiftboard(BoardCodes& board, int direction) {
    switch (direction) {
        case 2: moveleft(board); break;
        case 3: moveup(board); break;
        case 4: moveright(board); break;
        default: movedown(board); break;
    }
}

}  // namespace quorbit::server
