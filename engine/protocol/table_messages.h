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
    static constexpr std::string_view kName = names::table;
    std::string name;
    std::string format() const;
    static Table parse(std::string_view payload);
    friend bool operator==(const Table&, const Table&) = default;
};

// No fields. Read with or without the "+" after the name.
struct Listtables {
    static constexpr std::string_view kName = names::listtables;
    std::string format() const;
    static Listtables parse(std::string_view payload);
    friend bool operator==(const Listtables&, const Listtables&) = default;
};

// One table: its name (a table's name holds no "+"), logged-in players (seats 1 to 4) and
// watchers (seats 5 to 9), whether a game runs, the game's play-to score and seconds per
// turn, whether teams play, and the name of the computer player's level.
struct Tableinfo {
    static constexpr std::string_view kName = names::tableinfo;
    std::string name;
    int players = 0;
    int watchers = 0;
    bool running = false;
    int playTo = 0;
    int seconds = 0;
    bool teams = false;
    std::string zubo;
    std::string format() const;
    static Tableinfo parse(std::string_view payload);
    friend bool operator==(const Tableinfo&, const Tableinfo&) = default;
};

// The end of a listing: how many Tableinfo lines came before it.
struct Tablesend {
    static constexpr std::string_view kName = names::tablesend;
    int count = 0;
    std::string format() const;
    static Tablesend parse(std::string_view payload);
    friend bool operator==(const Tablesend&, const Tablesend&) = default;
};

// The seat that holds the table's host powers (0: nobody yet).
struct Host {
    static constexpr std::string_view kName = names::host;
    int seat = 0;
    std::string format() const;
    static Host parse(std::string_view payload);
    friend bool operator==(const Host&, const Host&) = default;
};

}  // namespace quorbit::protocol::tables
