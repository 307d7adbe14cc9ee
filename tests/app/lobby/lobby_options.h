#pragma once
// A lobby window's options in a test: no game beside it, no link for games, its settings in
// the test's folder; with a port, it enters as "Guest" at that port of 127.0.0.1.
#include <QString>
#include <QTemporaryDir>

#include "app/lobby/options.h"

namespace quorbit::lobbytest {

inline lobby::Options testLobbyOptions(const QTemporaryDir& dir, int port = 0) {
    lobby::Options o;
    o.game = dir.filePath("no-game");
    o.linkPort = 0;
    o.settingsPath = dir.filePath("lobby.ini");
    if (port > 0) {
        o.name = "Guest";
        o.server = QString("127.0.0.1:%1").arg(port);
    }
    return o;
}

}  // namespace quorbit::lobbytest
