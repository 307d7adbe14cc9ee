#include "protocol/table_messages.h"

namespace quorbit::protocol::tables {

std::string Table::format() const { return std::string(kName) + "+" + name; }
Table Table::parse(std::string_view payload) { return Table{std::string(payload)}; }

std::string Listtables::format() const { return std::string(kName) + "+"; }
Listtables Listtables::parse(std::string_view) { return {}; }

std::string Tableinfo::format() const {
    return joinedFields(kName, {name, std::to_string(players), std::to_string(watchers), std::string(flagField(running)),
                          std::to_string(playTo), std::to_string(seconds), std::string(flagField(teams)), zubo});
}
Tableinfo Tableinfo::parse(std::string_view payload) {
    FieldReader f(payload);
    Tableinfo m;
    m.name = f.next();
    m.players = f.nextInt();
    m.watchers = f.nextInt();
    m.running = f.next() == "t";
    m.playTo = f.nextInt();
    m.seconds = f.nextInt();
    m.teams = f.next() == "t";
    m.zubo = f.next();
    return m;
}

std::string Tablesend::format() const { return joinedFields(kName, {std::to_string(count)}); }
Tablesend Tablesend::parse(std::string_view payload) {
    FieldReader f(payload);
    return Tablesend{f.nextInt()};
}

std::string Host::format() const { return joinedFields(kName, {std::to_string(seat)}); }
Host Host::parse(std::string_view payload) {
    FieldReader f(payload);
    return Host{f.nextInt()};
}

}  // namespace quorbit::protocol::tables
