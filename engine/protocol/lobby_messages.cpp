#include "protocol/lobby_messages.h"

namespace quorbit::protocol::lobby {
namespace {

// A message whose one field is the rest of the line.
std::string withRest(std::string_view name, const std::string& rest) { return std::string(name) + "+" + rest; }

}  // namespace

std::string Lobby::format() const { return withRest(kName, name); }
Lobby Lobby::parse(std::string_view payload) { return Lobby{std::string(payload)}; }

std::string Lobbychat::format() const { return withRest(kName, text); }
Lobbychat Lobbychat::parse(std::string_view payload) { return Lobbychat{std::string(payload)}; }

std::string Maketable::format() const {
    return joinedFields(kName, {name, std::to_string(options.playTo), std::to_string(options.seconds),
                          std::to_string(options.shuffles), std::string(flagField(options.teams)), options.zubo,
                          std::string(flagField(isPublic)), options.language});
}
Maketable Maketable::parse(std::string_view payload) {
    FieldReader f(payload);
    Maketable m;
    m.name = f.next();
    m.options.playTo = f.nextInt();
    m.options.seconds = f.nextInt();
    m.options.shuffles = f.nextInt();
    m.options.teams = f.next() == "t";
    m.options.zubo = f.next();
    m.isPublic = f.next() != "f";
    m.options.language = f.next();
    return m;
}

std::string Invite::format() const { return withRest(kName, code); }
Invite Invite::parse(std::string_view payload) { return Invite{std::string(payload)}; }

std::string Watchtable::format() const { return withRest(kName, name); }
Watchtable Watchtable::parse(std::string_view payload) { return Watchtable{std::string(payload)}; }

std::string Lobbyname::format() const { return joinedFields(kName, {name}); }
Lobbyname Lobbyname::parse(std::string_view payload) { return Lobbyname{FieldReader(payload).next()}; }

std::string Person::format() const { return joinedFields(kName, {name, place, table}); }
Person Person::parse(std::string_view payload) {
    FieldReader f(payload);
    Person m;
    m.name = f.next();
    m.place = f.next();
    m.table = f.next();
    return m;
}

std::string Persongone::format() const { return joinedFields(kName, {name}); }
Persongone Persongone::parse(std::string_view payload) { return Persongone{FieldReader(payload).next()}; }

std::string Lobbytable::format() const {
    const std::string listed = Tableinfo::format();
    return std::string(kName) + listed.substr(Tableinfo::kName.size()) + std::to_string(shuffles) + "+" + language + "+";
}
Lobbytable Lobbytable::parse(std::string_view payload) {
    Lobbytable m;
    static_cast<Tableinfo&>(m) = Tableinfo::parse(payload);
    FieldReader f(payload);
    for (int i = 0; i < Tableinfo::kFields; ++i) f.nextView();
    m.shuffles = f.nextInt();
    m.language = f.next();
    return m;
}

std::string Lobbytablegone::format() const { return joinedFields(kName, {name}); }
Lobbytablegone Lobbytablegone::parse(std::string_view payload) { return Lobbytablegone{FieldReader(payload).next()}; }

std::string Lobbyready::format() const { return joinedFields(kName, {std::to_string(people), std::to_string(tables)}); }
Lobbyready Lobbyready::parse(std::string_view payload) {
    FieldReader f(payload);
    Lobbyready m;
    m.people = f.nextInt();
    m.tables = f.nextInt();
    return m;
}

std::string Lobbysaid::format() const { return std::string(kName) + "+" + name + "+" + text; }
Lobbysaid Lobbysaid::parse(std::string_view payload) {
    FieldReader f(payload);
    Lobbysaid m;
    m.name = f.next();
    m.text = f.rest();
    return m;
}

std::string Tablemade::format() const { return joinedFields(kName, {name, code}); }
Tablemade Tablemade::parse(std::string_view payload) {
    FieldReader f(payload);
    Tablemade m;
    m.name = f.next();
    m.code = f.next();
    return m;
}

std::string Tablerefused::format() const { return joinedFields(kName, {text}); }
Tablerefused Tablerefused::parse(std::string_view payload) { return Tablerefused{FieldReader(payload).next()}; }

std::string Tableoptions::format() const {
    return joinedFields(kName, {std::to_string(options.playTo), std::to_string(options.seconds),
                          std::to_string(options.shuffles), std::string(flagField(options.teams)), options.zubo,
                          options.language});
}
Tableoptions Tableoptions::parse(std::string_view payload) {
    FieldReader f(payload);
    Tableoptions m;
    m.options.playTo = f.nextInt();
    m.options.seconds = f.nextInt();
    m.options.shuffles = f.nextInt();
    m.options.teams = f.next() == "t";
    m.options.zubo = f.next();
    m.options.language = f.next();
    return m;
}

}  // namespace quorbit::protocol::lobby
