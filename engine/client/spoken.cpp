#include "client/spoken.h"

#include "client/fields_util.h"
#include "rules/board.h"
#include "rules/letters.h"

namespace quorbit::client::spoken {

namespace {

std::string points(int n) { return std::to_string(n) + (n == 1 ? " point" : " points"); }

// A tile as it shows: its letter and its worth in the table's language.
std::string letterText(const ClientState& s, int code) {
    if (code < 1 || code > 26) return "empty";
    return std::string(1, rules::letterOf(code)) + ", " + points(rules::letterworth(code, s.letterValues));
}

const char* squareKind(rules::Bonus bonus) {
    switch (bonus) {
        case rules::Bonus::TripleLetter: return "triple letter";
        case rules::Bonus::DoubleLetter: return "double letter";
        case rules::Bonus::DoubleWord: return "double word";
        case rules::Bonus::TripleWord: return "triple word";
        case rules::Bonus::Centre: return "bonus";
        case rules::Bonus::None: break;
    }
    return nullptr;
}

// The chain slot (1..7) that holds the square while it shows a chain mark, else 0.
int chainSlot(const ClientState& s, Square sq) {
    const int mark = s.boardmarks[static_cast<std::size_t>(sq.x)][static_cast<std::size_t>(sq.y)];
    if (mark != kPicCross && mark != kPicFrame) return 0;
    for (int slot = 1; slot <= kMaxWord; ++slot)
        if (s.selected[static_cast<std::size_t>(slot - 1)] == sq) return slot;
    return 0;
}

}  // namespace

std::string square(const ClientState& s, Square sq) {
    if (!onBoard(sq.x, sq.y)) return {};
    const auto x = static_cast<std::size_t>(sq.x), y = static_cast<std::size_t>(sq.y);
    std::string text = letterText(s, s.boardletters[x][y]);
    text += ", column " + std::to_string(sq.x + 1) + ", row " + std::to_string(sq.y + 1);
    if (const char* kind = squareKind(rules::bonusAt(sq))) text += std::string(", ") + kind;
    if (const int slot = chainSlot(s, sq)) text += ", selected, letter " + std::to_string(slot) + " of the chain";
    return text;
}

std::string rackSlot(const ClientState& s, int slot) {
    if (!isSlot(slot)) return {};
    return "letter " + std::to_string(slot) + " of the chain: " +
           letterText(s, s.image_letter[static_cast<std::size_t>(slot - 1)]);
}

std::string seat(const ClientState& s, int seat) {
    if (!isPlayingSeat(seat)) return {};
    const SeatValues& values = s.seat(seat);
    const SeatView& v = s.seats[static_cast<std::size_t>(seat - 1)];
    if (values.holder == SeatHolder::Nobody) return "seat " + std::to_string(seat) + ", waiting for a player";
    // A new game has no score until the seat's first word: it counts as 0.
    std::string text = values.name + ", " + points(values.scored ? values.score : 0);
    if (s.teamgame) {
        text += ", ";
        text += rules::teamName(rules::teamOf(seat));
    }
    text += values.watching ? ", just watching" : ", playing";
    if (s.whoseturn == seat) text += seat == s.myseat ? ", your turn" : ", their turn";
    if (!v.label_bonus.empty()) text += ", last word " + v.label_bonus;
    return text;
}

std::string shuffles(const ClientState& s, int seat) {
    if (!isPlayingSeat(seat)) return {};
    const int left = s.seats[static_cast<std::size_t>(seat - 1)].image_shuffles;
    return std::to_string(left) + (left == 1 ? " Quorbit Shuffle left" : " Quorbit Shuffles left");
}

std::string clock(const ClientState& s) {
    const int left = s.timeleft > 0 ? s.timeleft : 0;
    return std::to_string(left) + (left == 1 ? " second left" : " seconds left");
}

std::string arrow(int direction) {
    switch (direction) {
        case 2: return "slide the tiles toward the left column";
        case 3: return "slide the tiles toward the top row";
        case 4: return "slide the tiles toward the right column";
        default: return "slide the tiles toward the bottom row";
    }
}

}  // namespace quorbit::client::spoken
