#pragma once
// The messages of a table server (names in protocol/names.h), as values with one format()
// and one parse() each, like those of messages.h.
//
// Before it sits at a table a connection may name its table (Table) or ask for the list
// of tables (Listtables), answered by one Tableinfo per table and a Tablesend. Host tells
// every seat of a table which seat holds the host's powers.
#include <string>
#include <string_view>

#include "protocol/fields.h"
#include "protocol/names.h"

namespace quorbit::protocol::tables {

// The table's name is the rest of the line.
struct Table {
    QUORBIT_WIRE_MESSAGE(Table, table);
    std::string name;
};

// No fields. Read with or without the "+" after the name.
struct Listtables {
    QUORBIT_WIRE_MESSAGE(Listtables, listtables);
};

// One table: its name (a table's name holds no "+"), logged-in players (seats 1 to 4) and
// watchers (seats 5 to 9), whether a game runs, the game's play-to score and seconds per
// turn, whether teams play, and the name of the computer player's level.
struct Tableinfo {
    QUORBIT_WIRE_MESSAGE(Tableinfo, tableinfo);
    static constexpr int kFields = 8;
    std::string name;
    int players = 0;
    int watchers = 0;
    bool running = false;
    int playTo = 0;
    int seconds = 0;
    bool teams = false;
    std::string zubo;
};

// The end of a listing: how many Tableinfo lines came before it.
struct Tablesend {
    QUORBIT_WIRE_MESSAGE(Tablesend, tablesend);
    int count = 0;
};

// The seat that holds the table's host powers (0: nobody yet).
struct Host {
    QUORBIT_WIRE_MESSAGE(Host, host);
    int seat = 0;
};

}  // namespace quorbit::protocol::tables
