#include "client/launch.h"

#include "protocol/address.h"
#include "protocol/limits.h"

namespace quorbit::client {
namespace {

// A table name with nothing visible in it names no table.
std::string tableNamed(const std::string& name) {
    return protocol::usableName(protocol::cleanName(name)) ? name : std::string();
}

}  // namespace

LaunchPlan launchPlan(const std::vector<std::string>& params, const std::string& table, TableSeat seat) {
    LaunchPlan plan;
    if (params.empty()) {
        plan.mode = LaunchMode::Solo;
        plan.playername = "You";
        plan.hostaddress = "127.0.0.1";
        if (!tableNamed(table).empty()) plan.notice = kTableNotUsedNotice;
        return plan;
    }
    if (params.size() < 3) return plan;  // a fourth and later parameters are ignored
    plan.playername = params[0];
    plan.hostaddress = params[1];
    plan.mode = params[2] == "true" ? LaunchMode::Host : LaunchMode::Join;  // exactly, lower case
    const auto where = protocol::splitServerAddress(params[1], 0);
    if (plan.mode == LaunchMode::Host) {
        // The address is not used when hosting, and neither is a table in it.
        if (!tableNamed(table).empty() || (where && !tableNamed(where->table).empty()))
            plan.notice = kTableNotUsedNotice;
        return plan;
    }
    if (!where) {
        plan.hostaddress.clear();
        plan.notice = "The address \"" + protocol::cutChars(params[1], 100) +
                      "\" does not read: write HOST or HOST:PORT ([IPv6 address]:PORT), and /TABLE after it to "
                      "sit at a table.";
        return plan;
    }
    plan.hostaddress = where->host;
    plan.port = where->port;
    if (seat == TableSeat::Invite) {
        plan.table = protocol::cleanName(table);
        plan.seat = plan.table.empty() ? TableSeat::Play : seat;
        return plan;
    }
    plan.table = tableNamed(table.empty() ? where->table : table);
    if (!plan.table.empty()) plan.seat = seat;
    return plan;
}

}  // namespace quorbit::client
