#include "app/shell/tablelist.h"

#include <QCoreApplication>
#include <cstdio>

#include "common/escape.h"
#include "app/net/tablelister.h"
#include "app/server/tabledirectory.h"
#include "protocol/address.h"
#include "protocol/messages.h"

namespace quorbit::shell {
namespace {

std::string_view yesNo(bool on) { return on ? "yes" : "no"; }

std::string tableLine(const protocol::tables::Tableinfo& info, const std::string& server) {
    return quorbit::printableText(info.name) + "\tplayers=" + std::to_string(info.players) +
           " watchers=" + std::to_string(info.watchers) + " running=" + std::string(yesNo(info.running)) +
           " playto=" + std::to_string(info.playTo) + " seconds=" + std::to_string(info.seconds) +
           " teams=" + std::string(yesNo(info.teams)) + " zubo=" + quorbit::printableText(info.zubo) +
           " server=" + server + "\n";
}

}  // namespace

int printTables(int argc, char** argv, const std::string& hostPort) {
    QCoreApplication app(argc, argv);
    const auto target = protocol::splitHostPort(hostPort, protocol::kPort);
    if (!target) {
        std::fprintf(stderr, "quorbit: --tables needs HOST or HOST:PORT, not \"%s\"\n",
                     quorbit::printableText(hostPort).c_str());
        return 1;
    }
    const std::string where = quorbit::printableText(hostPort);
    int code = 1;
    net::TableLister lister;
    net::TableLister::RemoteTables remote;
    QObject::connect(&lister, &net::TableLister::remoteListed, &app,
                     [&](const net::TableLister::RemoteTables& tables) { remote = tables; });
    // The server's own tables are at the address asked; the others' at their servers'.
    const std::string asked = quorbit::printableText(serverhost::publicAddress(target->host, target->port));
    QObject::connect(&lister, &net::TableLister::listed, &app, [&](const net::TableLister::Tables& tables, std::size_t) {
        std::string text;
        for (const protocol::tables::Tableinfo& info : tables) text += tableLine(info, asked);
        for (const protocol::directory::Remotetableinfo& info : remote)
            text += tableLine(info.table, quorbit::printableText(info.server));
        std::fwrite(text.data(), 1, text.size(), stdout);
        code = std::fflush(stdout) == 0 ? 0 : 1;
        app.quit();
    });
    QObject::connect(&lister, &net::TableLister::oneTable, &app, [&] {
        std::fprintf(stderr, "quorbit: %s holds one table only\n", where.c_str());
        app.quit();
    });
    QObject::connect(&lister, &net::TableLister::unreachable, &app, [&](const QString& why) {
        std::fprintf(stderr, "quorbit: cannot reach %s: %s\n", where.c_str(), why.toLocal8Bit().constData());
        app.quit();
    });
    QObject::connect(&lister, &net::TableLister::noAnswer, &app, [&] {
        std::fprintf(stderr, "quorbit: %s did not list its tables in time\n", where.c_str());
        app.quit();
    });
    // As many as a server may hold (--max-tables).
    lister.list(QString::fromStdString(target->host), target->port, 1000000, true);
    app.exec();
    return code;
}

}  // namespace quorbit::shell
