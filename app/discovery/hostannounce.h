#pragma once
// Announcing a hosted game: a GameAnnouncer started under the game's name and port,
// fed the server host's announcement whenever it changes.
#include <memory>
#include <string>
#include <string_view>

#include "app/discovery/announcer.h"

namespace quorbit::serverhost {
class ServerHost;
}

namespace quorbit::discovery {

// The name a game is announced under when none was given: "Ann's game" for the player
// Ann; for a server without a player, after the machine ("annspc's game").
std::string defaultGameName(std::string_view playerName);

// The announcer lives as long as the returned pointer; it withdraws the game when
// destroyed. It must not outlive `host`.
std::unique_ptr<GameAnnouncer> announceHostedGame(serverhost::ServerHost& host, const std::string& name, int port,
                                                  GameAnnouncer::LogSink log = {});

}  // namespace quorbit::discovery
