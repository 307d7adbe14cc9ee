#pragma once
// The messages of table servers that share one directory of tables (names in
// protocol/names.h): the public tables of the other servers, each with the address of its
// server (HOST:PORT, an IPv6 host in brackets). Formats and parses as lobby_messages.h.
#include <string>
#include <string_view>

#include "protocol/fields.h"
#include "protocol/lobby_messages.h"
#include "protocol/names.h"
#include "protocol/table_messages.h"

namespace quorbit::protocol::directory {

// Server to client, in the lobby: another server's public table, made or changed: its
// server, then the fields of a Lobbytable.
struct Remotetable {
    QUORBIT_WIRE_MESSAGE(Remotetable, remotetable);
    std::string server;
    lobby::Lobbytable table;
};

// Another server's table is gone.
struct Remotetablegone {
    QUORBIT_WIRE_MESSAGE(Remotetablegone, remotetablegone);
    std::string server;
    std::string name;
};

// Server to client, in a listing that asked for "all": another server's table, its server
// then the fields of a Tableinfo.
struct Remotetableinfo {
    QUORBIT_WIRE_MESSAGE(Remotetableinfo, remotetableinfo);
    std::string server;
    tables::Tableinfo table;
};

// The payload of a listing that asks for every server's tables.
inline constexpr std::string_view kListAll = "all";
// The listing's request that asks for them.
std::string listAllRequest();

}  // namespace quorbit::protocol::directory
