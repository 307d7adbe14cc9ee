#pragma once
// A short solo game as the server sends it to the client in seat 1, with the times at
// which the lines arrive, for the record tests.
#include <cstdint>
#include <string>
#include <vector>

#include "protocol/framing.h"
#include "protocol/messages.h"

namespace quorbit::record::testing {

namespace tc = protocol::toclient;

struct Timed {
    std::int64_t ms;
    std::string line;
};

inline protocol::BoardCodes boardOf(int seed) {
    protocol::BoardCodes b{};
    for (int x = 0; x < 7; ++x)
        for (int y = 0; y < 7; ++y) b[x][y] = 1 + (x * 7 + y + seed) % 26;
    return b;
}

// Before the game: the login and the seats. Then the game, from its start to its winner.
inline std::vector<Timed> loginLines() {
    return {{0, tc::sendlogininfo(1)}, {5, tc::newplayerinfo(1, "Ann")}, {9, "CMD_chat+Ann+hello|clBlack"}};
}

inline std::vector<Timed> gameLines() {
    return {
        {1000, tc::startgame({"Ann", 20, 60, false, 1})},
        {1010, tc::theboard(boardOf(0))},
        {1020, tc::nextplayer(1, 1)},
        {3000, tc::selectletter(1, 1, 0, 0)},
        {4200, tc::madeword(1, "CAB", 12, 12, 12, 0, {{0, 0}, {0, 1}, {0, 2}})},
        {4300, tc::moving(1)},
        {8300, tc::theboard(boardOf(3))},
        {8310, tc::nextplayer(2, 1)},
        {9100, tc::selectletter(2, 1, 3, 3)},
        {9600, tc::madeword(2, "DOG", 5, 5, 12, 5, {{3, 3}, {3, 4}, {3, 5}})},
        {9700, tc::moving(3)},
        {13700, "CMD_chat+Ann+nice \xE9t\xE9|clRed"},  // Windows-1252 text, kept as it came
        {13800, tc::theboard(boardOf(7))},
        {13810, tc::nextplayer(1, 1)},
        {15000, tc::madeword(1, "ZAP", 14, 26, 26, 5, {{1, 1}, {2, 2}, {3, 3}})},
        {15100, tc::moving(2)},
        {19100, tc::theboard(boardOf(11))},
        {19200, tc::winner("Ann")},
    };
}

inline std::string wire(const std::vector<Timed>& lines) {
    std::string bytes;
    for (const Timed& t : lines) bytes += protocol::frame(t.line);
    return bytes;
}

}  // namespace quorbit::record::testing
