#include "app/shell/tablelist.h"

#include <QCoreApplication>
#include <cstdio>

#include "common/escape.h"
#include "app/net/tablelister.h"
#include "protocol/address.h"
#include "protocol/messages.h"

namespace quorbit::shell {
namespace {

std::string_view yesNo(bool on) { return on ? "yes" : "no"; }

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
    QObject::connect(&lister, &net::TableLister::listed, &app, [&](const net::TableLister::Tables& tables, std::size_t) {
        std::string text;
        for (const protocol::tables::Tableinfo& info : tables)
            text += quorbit::printableText(info.name) + "\tplayers=" + std::to_string(info.players) +
                    " watchers=" + std::to_string(info.watchers) + " running=" + std::string(yesNo(info.running)) +
                    " playto=" + std::to_string(info.playTo) + " seconds=" + std::to_string(info.seconds) +
                    " teams=" + std::string(yesNo(info.teams)) + " zubo=" + quorbit::printableText(info.zubo) + "\n";
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
    lister.list(QString::fromStdString(target->host), target->port, 1000000);
    app.exec();
    return code;
}

}  // namespace quorbit::shell
