#include "app/discovery/hostannounce.h"

#include <QSysInfo>

#include "app/server/serverhost.h"

namespace quorbit::discovery {

std::string defaultGameName(std::string_view playerName) {
    if (!playerName.empty()) return gameServiceName(playerName);
    const QString machine = QSysInfo::machineHostName().section('.', 0, 0);
    return gameServiceName(machine.isEmpty() ? std::string("Quorbit") : machine.toStdString());
}

std::unique_ptr<GameAnnouncer> announceHostedGame(serverhost::ServerHost& host, const std::string& name, int port,
                                                  GameAnnouncer::LogSink log) {
    auto announcer = std::make_unique<GameAnnouncer>(std::move(log));
    GameAnnouncer* a = announcer.get();
    QObject::connect(&host, &serverhost::ServerHost::announcementChanged, a,
                     [a, &host] { a->update(host.announcement()); });
    announcer->start(name, port, host.announcement());
    return announcer;
}

}  // namespace quorbit::discovery
