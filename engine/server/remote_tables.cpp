#include "server/remote_tables.h"

#include "protocol/framing.h"
#include "protocol/limits.h"

namespace quorbit::server {

namespace directory = protocol::directory;

bool RemoteTables::usableField(const std::string& text) {
    for (const char ch : text) {
        const auto c = static_cast<unsigned char>(ch);
        if (ch == '+' || ch == protocol::kTerminator || c < 0x20 || c == 0x7F) return false;
    }
    return true;
}

std::vector<std::string> RemoteTables::replace(const std::vector<RemoteTable>& tables) {
    std::map<Key, Told> now;
    for (const RemoteTable& t : tables) {
        if (t.server.empty() || !usableField(t.server) || !usableField(t.table.name) ||
            !usableField(t.table.zubo) || !usableField(t.table.language))
            continue;
        Key key{t.server, protocol::nameKey(t.table.name)};
        if (now.count(key)) continue;  // one row per table: the first stands
        now.emplace(std::move(key), Told{t, directory::Remotetable{t.server, t.table}.format()});
    }
    std::vector<std::string> changes;
    for (const auto& [key, told] : told_)
        if (!now.count(key)) changes.push_back(directory::Remotetablegone{told.table.server, told.table.table.name}.format());
    for (const auto& [key, told] : now) {
        const auto before = told_.find(key);
        if (before != told_.end() && before->second.line == told.line) continue;
        // A new spelling of the name: the old one is gone first.
        if (before != told_.end() && before->second.table.table.name != told.table.table.name)
            changes.push_back(directory::Remotetablegone{told.table.server, before->second.table.table.name}.format());
        changes.push_back(told.line);
    }
    told_ = std::move(now);
    return changes;
}

std::vector<std::string> RemoteTables::lines() const {
    std::vector<std::string> out;
    out.reserve(told_.size());
    for (const auto& [key, told] : told_) out.push_back(told.line);
    return out;
}

std::vector<directory::Remotetableinfo> RemoteTables::listing() const {
    std::vector<directory::Remotetableinfo> out;
    out.reserve(told_.size());
    for (const auto& [key, told] : told_) out.push_back({told.table.server, told.table.table});
    return out;
}

}  // namespace quorbit::server
