// A table server's lobby lines as the lobby program reads them: any bytes, cut into lines
// at the terminator, change the book without a crash; rows stay within their bound and
// each row's index (by server and name for another server's table) finds it again.
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "client/lobby_model.h"
#include "protocol/framing.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
    using namespace quorbit;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    protocol::LineCutter cutter;
    std::vector<std::string> lines;
    cutter.feed(bytes, lines);
    client::LobbyModel model;
    std::size_t moves = 0;
    model.beforeRowsMove = [&moves](const client::LobbyChange&) { ++moves; };
    for (const std::string& line : lines) {
        const client::LobbyChange c = model.apply(line);
        const bool tableRow = c.kind == client::LobbyChange::Kind::TableChanged ||
                              c.kind == client::LobbyChange::Kind::TableAdded;
        if (tableRow && c.row >= model.tables().size()) __builtin_trap();
    }
    if (model.tables().size() > client::kMaxLobbyRows || model.people().size() > client::kMaxLobbyRows) __builtin_trap();
    for (std::size_t r = 0; r < model.tables().size(); ++r)
        if (model.tableRow(model.tables()[r].name, model.tables()[r].server) != static_cast<long>(r)) __builtin_trap();
    for (std::size_t r = 0; r < model.people().size(); ++r)
        if (model.personRow(model.people()[r].name) != static_cast<long>(r)) __builtin_trap();
    return 0;
}
