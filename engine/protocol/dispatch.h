#pragma once
// Dispatch of a queued line to its handler by exact, case-sensitive name, in the
// receiver's list order. Unknown names and lines without a name are dropped.
#include <array>
#include <functional>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "protocol/fields.h"

namespace quorbit::protocol {

// The server's names, in the order it compares them.
inline constexpr std::array<std::string_view, 12> kServerDispatch = {
    "CMD_logininfo", "CMD_kickhim", "CMD_chat", "CMD_action", "CMD_startgame", "CMD_justwatch",
    "CMD_playerdone", "CMD_direction", "CMD_selectletter", "CMD_selectclear", "CMD_clearletter",
    "CMD_shuffle"};

// The client's names, in the order it compares them.
inline constexpr std::array<std::string_view, 25> kClientDispatch = {
    "CMD_sendlogininfo", "CMD_chat", "CMD_action", "CMD_newplayerinfo", "CMD_havewrongversion",
    "CMD_wrongversion", "CMD_existingplayers", "CMD_playerdisconnected", "CMD_startgame",
    "CMD_nextplayer", "CMD_winner", "CMD_full", "CMD_justwatching", "CMD_theboard",
    "CMD_notvalid", "CMD_madeword", "CMD_timeup", "CMD_gamestats", "CMD_selectletter",
    "CMD_selectclear", "CMD_moving", "CMD_clearletter", "CMD_useshuffle", "CMD_shufflesl",
    "CMD_bonus"};

enum class DispatchResult {
    Handled,          // a handler ran to its end
    Abandoned,        // a handler stopped at a field that is not a number
    NoName,           // the line had no "+" or an empty name
    Unknown,          // no handler has that name
};

class Dispatcher {
public:
    using Handler = std::function<void(FieldReader&)>;

    // Handlers are compared in the order they are added.
    void add(std::string_view name, Handler handler) {
        handlers_.emplace_back(std::string(name), std::move(handler));
    }
    DispatchResult dispatch(std::string_view line) const;
    std::size_t size() const { return handlers_.size(); }
    const std::string& nameAt(std::size_t i) const { return handlers_[i].first; }

private:
    std::vector<std::pair<std::string, Handler>> handlers_;
};

}  // namespace quorbit::protocol
