#pragma once
// RemoteTables: the public tables of the other table servers that share this server's
// directory, as the host last handed them over, and what the lobby was told of them.
//
// The host reads the directory and hands over the whole list each time (replace()); the
// book compares it with what it holds and answers the lines that tell the difference:
// a gone table's line first, then each made or changed one. Tables are keyed by their
// server's address and their name as names are compared, so one server's "Friday" and
// another's are two tables, and a table whose spelling changed is one.
//
// A row that cannot travel on the wire as a field (a server or a name that is empty where
// it may not be, or holds a "+", a control character or the terminator) is left out: the
// directory is written by other programs, and a bad row must not break a lobby's lines.
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "protocol/directory_messages.h"

namespace quorbit::server {

struct RemoteTable {
    std::string server;  // HOST:PORT, as players reach it
    protocol::lobby::Lobbytable table;
};

class RemoteTables {
public:
    // Takes `tables` as the whole list; the lines (unframed) that tell what changed.
    std::vector<std::string> replace(const std::vector<RemoteTable>& tables);
    // A Remotetable line for each table, in the order of (server, name key).
    std::vector<std::string> lines() const;
    // A Remotetableinfo for each table, in the same order.
    std::vector<protocol::directory::Remotetableinfo> listing() const;
    std::size_t size() const { return told_.size(); }

    // Whether a server's address or a table's name can travel as one field.
    static bool usableField(const std::string& text);

private:
    struct Told {
        RemoteTable table;
        std::string line;
    };
    using Key = std::pair<std::string, std::string>;  // server, the name's key
    std::map<Key, Told> told_;
};

}  // namespace quorbit::server
