#pragma once
// The messages of a table server's lobby (names in protocol/names.h), as values with one
// format() and one parse() each, like those of messages.h. docs/protocol.md says who sends
// each and when.
#include <string>
#include <string_view>

#include "protocol/fields.h"
#include "protocol/names.h"
#include "protocol/table_messages.h"

namespace quorbit::protocol::lobby {

// Client to server, before sitting at a table.

// Enter the lobby under a name: the rest of the line.
struct Lobby {
    QUORBIT_WIRE_MESSAGE(Lobby, lobby);
    std::string name;
};

// A line to everybody in the lobby: the rest of the line.
struct Lobbychat {
    QUORBIT_WIRE_MESSAGE(Lobbychat, lobbychat);
    std::string text;
};

// A table's options as made in the lobby (and told to its host by Tableoptions).
struct TableOptions {
    int playTo = 0;
    int seconds = 0;
    int shuffles = 0;
    bool teams = false;
    std::string zubo;      // "classic", "strong" or "expert"
    std::string language;  // ISO 639-1 code
    friend bool operator==(const TableOptions&, const TableOptions&) = default;
};

struct Maketable {
    QUORBIT_WIRE_MESSAGE(Maketable, maketable);
    std::string name;
    TableOptions options;
    bool isPublic = true;
};

// Sit at the private table of this invite code: the rest of the line.
struct Invite {
    QUORBIT_WIRE_MESSAGE(Invite, invite);
    std::string code;
};

// Sit at a public table to watch: the table's name is the rest of the line.
struct Watchtable {
    QUORBIT_WIRE_MESSAGE(Watchtable, watchtable);
    std::string name;
};

// Server to client.

// The name the lobby kept for this connection.
struct Lobbyname {
    QUORBIT_WIRE_MESSAGE(Lobbyname, lobbyname);
    std::string name;
};

// Where somebody online is: "lobby", "playing", "watching" or "private"; the public
// table's name for playing and watching, else empty.
struct Person {
    QUORBIT_WIRE_MESSAGE(Person, person);
    std::string name;
    std::string place;
    std::string table;
};

struct Persongone {
    QUORBIT_WIRE_MESSAGE(Persongone, persongone);
    std::string name;
};

// A public table, made or changed: a listing's fields, then shuffles and language.
struct Lobbytable : tables::Tableinfo {
    QUORBIT_WIRE_MESSAGE(Lobbytable, lobbytable);
    int shuffles = 0;
    std::string language;
};

struct Lobbytablegone {
    QUORBIT_WIRE_MESSAGE(Lobbytablegone, lobbytablegone);
    std::string name;
};

// The end of the first listing: how many Person and Lobbytable lines came before it.
struct Lobbyready {
    QUORBIT_WIRE_MESSAGE(Lobbyready, lobbyready);
    int people = 0;
    int tables = 0;
};

// Somebody said something in the lobby; the text is the rest of the line.
struct Lobbysaid {
    QUORBIT_WIRE_MESSAGE(Lobbysaid, lobbysaid);
    std::string name;
    std::string text;
};

// A table was made: its name as kept and, for a private table, its invite code.
struct Tablemade {
    QUORBIT_WIRE_MESSAGE(Tablemade, tablemade);
    std::string name;
    std::string code;
};

// A table was not made, and why, as a sentence to show.
struct Tablerefused {
    QUORBIT_WIRE_MESSAGE(Tablerefused, tablerefused);
    std::string text;
};

// The options a table was made with, told to its host.
struct Tableoptions {
    QUORBIT_WIRE_MESSAGE(Tableoptions, tableoptions);
    TableOptions options;
};

}  // namespace quorbit::protocol::lobby
