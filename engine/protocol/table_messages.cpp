#include "protocol/table_messages.h"

#include <initializer_list>

namespace quorbit::protocol::tables {
namespace {

std::string_view flag(bool on) { return on ? "t" : "f"; }

std::string joined(std::string_view name, std::initializer_list<std::string> fields) {
    std::string text(name);
    for (const std::string& f : fields) {
        text += '+';
        text += f;
    }
    text += '+';
    return text;
}

}  // namespace

std::string Table::format() const { return std::string(kName) + "+" + name; }
Table Table::parse(std::string_view payload) { return Table{std::string(payload)}; }

std::string Listtables::format() const { return std::string(kName) + "+"; }
Listtables Listtables::parse(std::string_view) { return {}; }

std::string Tableinfo::format() const {
    return joined(kName, {name, std::to_string(players), std::to_string(watchers), std::string(flag(running)),
                          std::to_string(playTo), std::to_string(seconds), std::string(flag(teams)), zubo});
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

std::string Tablesend::format() const { return joined(kName, {std::to_string(count)}); }
Tablesend Tablesend::parse(std::string_view payload) {
    FieldReader f(payload);
    return Tablesend{f.nextInt()};
}

std::string Host::format() const { return joined(kName, {std::to_string(seat)}); }
Host Host::parse(std::string_view payload) {
    FieldReader f(payload);
    return Host{f.nextInt()};
}

}  // namespace quorbit::protocol::tables
