#include "protocol/directory_messages.h"

namespace quorbit::protocol::directory {
namespace {

// `server` as a first field before the fields of `inner` (a formatted message named
// `innerName`).
std::string withServer(std::string_view name, const std::string& server, const std::string& inner,
                       std::string_view innerName) {
    return std::string(name) + "+" + server + inner.substr(innerName.size());
}

// The payload after its first field.
std::string_view afterFirst(std::string_view payload) {
    const std::size_t plus = payload.find('+');
    return plus == std::string_view::npos ? std::string_view() : payload.substr(plus + 1);
}

}  // namespace

std::string Remotetable::format() const {
    return withServer(kName, server, table.format(), lobby::Lobbytable::kName);
}
Remotetable Remotetable::parse(std::string_view payload) {
    Remotetable m;
    m.server = FieldReader(payload).next();
    m.table = lobby::Lobbytable::parse(afterFirst(payload));
    return m;
}

std::string Remotetablegone::format() const { return joinedFields(kName, {server, name}); }
Remotetablegone Remotetablegone::parse(std::string_view payload) {
    FieldReader f(payload);
    Remotetablegone m;
    m.server = f.next();
    m.name = f.next();
    return m;
}

std::string Remotetableinfo::format() const {
    return withServer(kName, server, table.format(), tables::Tableinfo::kName);
}
Remotetableinfo Remotetableinfo::parse(std::string_view payload) {
    Remotetableinfo m;
    m.server = FieldReader(payload).next();
    m.table = tables::Tableinfo::parse(afterFirst(payload));
    return m;
}

std::string listAllRequest() {
    std::string line(tables::Listtables::kName);
    line.append(1, '+').append(kListAll);
    return line;
}

}  // namespace quorbit::protocol::directory
