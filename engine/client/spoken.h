#pragma once
// What a screen reader says for each part of the game panel: the board's squares, the rack
// slots, the seats, the clock and the direction arrows. Built from the client's state, so
// the words always match the pictures.
#include <string>

#include "client/client_engine.h"

namespace quorbit::client::spoken {

// "E, 1 point, column 4, row 3, triple letter", then ", selected, letter 2 of the chain"
// while the square is part of a chain being built. Columns and rows are counted from 1.
std::string square(const ClientState& s, Square square);
// "letter 2 of the chain: E, 1 point", or "letter 2 of the chain: empty".
std::string rackSlot(const ClientState& s, int slot);
// "Ann, 120 points, playing, their turn"; "your turn" on the own seat; a seat nobody holds
// is "seat 3, waiting for a player".
std::string seat(const ClientState& s, int seat);
// "2 Quorbit Shuffles left" for a seat's shuffles picture.
std::string shuffles(const ClientState& s, int seat);
// "52 seconds left".
std::string clock(const ClientState& s);
// "slide the tiles toward the left column" for direction 2, and so on.
std::string arrow(int direction);

}  // namespace quorbit::client::spoken
