#include "app/shell/headless.h"

#include <QCoreApplication>
#include <QSysInfo>
#include <QHostInfo>
#include <sys/resource.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <optional>
#include <exception>

#include "common/escape.h"
#include "app/server/clocks.h"
#include "app/record/recordstore.h"
#include "record/summary.h"
#include "app/discovery/hostannounce.h"
#include "app/net/tls.h"
#include "app/server/serverhost.h"
#include "app/server/servertls.h"
#include "app/server/tabledirectory.h"
#include "app/shell/cmdline.h"
#include "app/shell/stopsignals.h"
#include "app/store/store.h"

namespace quorbit::shell {
namespace {

// Each connection holds a descriptor: the soft limit is raised toward what the
// connections need (with room for the listener, the log and the word files), as far as
// the hard limit allows.
void raiseDescriptorLimit(std::size_t connections) {
    rlimit limit{};
    if (::getrlimit(RLIMIT_NOFILE, &limit) != 0) return;
    const rlim_t wanted = static_cast<rlim_t>(connections) + 64;
    if (limit.rlim_cur != RLIM_INFINITY && limit.rlim_cur >= wanted) return;
    const rlim_t reachable = limit.rlim_max == RLIM_INFINITY ? wanted : std::min(wanted, limit.rlim_max);
    if (reachable > limit.rlim_cur) {
        rlimit raised = limit;
        raised.rlim_cur = reachable;
        if (::setrlimit(RLIMIT_NOFILE, &raised) == 0) limit = raised;
    }
    if (limit.rlim_cur < wanted)
        std::fprintf(stderr,
                     "quorbit: only %llu files may be open at once (the hard limit): fewer than %zu connections "
                     "will be served\n",
                     static_cast<unsigned long long>(limit.rlim_cur), connections);
}

// Opens the store named by --database, or the default file. A store that was named and
// cannot be opened ends the program (exit code 1); the default one that cannot is only
// reported, and the server runs without keeping results.
std::optional<int> openStore(const CommandLine& line, store::Store& st) {
    const bool named = !line.database.empty();
    const QString target = named ? QString::fromStdString(line.database) : store::defaultDatabaseFile();
    if (st.open(store::parseDatabaseTarget(target))) {
        // The address may hold a password: only a file's name is said.
        if (!named || store::parseDatabaseTarget(target).kind == store::DatabaseTarget::Kind::Sqlite)
            std::fprintf(stderr, "Quorbit server keeping accounts and games in %s\n",
                         quorbit::printableText(target.toStdString()).c_str());
        else
            std::fprintf(stderr, "Quorbit server keeping accounts and games in PostgreSQL\n");
        return std::nullopt;
    }
    std::fprintf(stderr, "quorbit: %s: %s\n", named ? "--database" : "the default database",
                 quorbit::printableText(st.error().toStdString()).c_str());
    if (named) return 1;
    return std::nullopt;
}

// The server's certificate: the files named, else the one kept in the state folder. Files
// that were named and do not serve end the program (exit code 1); a kept one that cannot
// be made or read is reported, and the server speaks plain text only.
std::optional<int> chooseIdentity(const CommandLine& line, std::shared_ptr<const net::TlsIdentity>& identity) {
    if (line.noTls) return std::nullopt;
    std::string error;
    const bool named = !line.tlsCert.empty();
    identity = named ? serverhost::loadServerIdentity(QString::fromStdString(line.tlsCert),
                                                      QString::fromStdString(line.tlsKey), error)
                     : serverhost::keptServerIdentity(serverhost::serverStateFolder(),
                                                      QSysInfo::machineHostName().toStdString(), error);
    if (!identity) {
        std::fprintf(stderr, "quorbit: %s: %s\n", named ? "--tls-cert/--tls-key" : "the server's certificate",
                     quorbit::printableText(error).c_str());
        if (named) return 1;
        std::fprintf(stderr, "Quorbit server speaking plain text only\n");
        return std::nullopt;
    }
    std::fprintf(stderr, "Quorbit server speaking TLS, certificate SHA-256 %s\n", identity->fingerprint().c_str());
    return std::nullopt;
}

}  // namespace

int runHeadless(int argc, char** argv, const CommandLine& given) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Quorbit");
    CommandLine line = given;
    // The game's language, loaded before the port is taken: files that are missing or
    // damaged end the program here rather than a game later. line.loadedLanguage is what
    // the server's tables are to play.
    if (const int code = loadChosenLanguage(line); code >= 0) return code;
    StopSignals stop([] { QCoreApplication::quit(); });
    if (!stop.installed()) {
        std::perror("quorbit: pipe");
        return 1;
    }

    raiseDescriptorLimit(line.maxConnections);
    serverhost::ServerHost::Options options;
    options.tables = true;
    options.limits.perAddress = line.maxPerAddress;
    options.limits.waitingPerAddress = std::min(options.limits.waitingPerAddress, line.maxPerAddress);
    options.limits.tables = line.maxTables;
    options.limits.connections = line.maxConnections;
    if (const auto code = chooseIdentity(line, options.tls)) return *code;
    store::Store results;
    if (const auto code = openStore(line, results)) return *code;
    serverhost::ServerHost host(options);
    if (results.isOpen()) host.keepAccounts(results);
    if (results.isOpen())
        host.keepResults([&results](const std::string& table, const server::GameFinished& game,
                                    const std::string& record) {
            if (!results.recordGame(table, game, record, serverhost::unixSeconds()))
                std::fprintf(stderr, "quorbit: a game at table \"%s\" could not be kept: %s\n",
                             quorbit::printableText(table).c_str(),
                             quorbit::printableText(results.error().toStdString()).c_str());
        });
    host.setZubolevel(line.zubo);
    host.setLanguage(line.loadedLanguage);
    if (!host.listen(line.port)) {
        std::fprintf(stderr, "quorbit: cannot serve on port %d: %s\n", line.port, host.errorText().c_str());
        return 1;
    }
    if (!line.recordDir.empty()) {
        host.keepRecords(QString::fromStdString(line.recordDir));
        std::fprintf(stderr, "Quorbit server recording its games in %s\n", line.recordDir.c_str());
    }
    std::fprintf(stderr, "Quorbit server listening on port %d\n", line.port);
    if (results.isOpen()) {
        const std::string reached =
            line.publicHost.empty() ? QHostInfo::localHostName().toStdString() : line.publicHost;
        host.keepDirectory(results, serverhost::publicAddress(reached, line.publicPort ? line.publicPort : line.port));
        std::fprintf(stderr, "Quorbit server listing its public tables as %s\n",
                     quorbit::printableText(host.directory()->address()).c_str());
    }
    std::unique_ptr<discovery::GameAnnouncer> announcer;
    if (line.announce)
        announcer = discovery::announceHostedGame(host, line.name.empty() ? discovery::defaultGameName({}) : line.name,
                                                  line.port, [](std::string_view text) {
                                                      std::fprintf(stderr, "%.*s\n", static_cast<int>(text.size()),
                                                                   text.data());
                                                  });
    if (announcer) announcer->setLanguage(line.language->code);
    const int rc = app.exec();
    return rc;  // the host goes first: a game still being recorded is saved as it ended
}

int printSummary(const CommandLine& line) {
    const record::ReadResult r = app::loadRecordFile(QString::fromStdString(line.replayFile));
    if (!r.record) {
        std::fprintf(stderr, "quorbit: %s: %s\n", quorbit::printableText(line.replayFile).c_str(),
                     quorbit::printableText(r.error).c_str());
        return 1;
    }
    std::string text;
    try {
        text = record::summaryText(record::summarise(*r.record));
    } catch (const std::exception& e) {
        std::fprintf(stderr, "quorbit: %s: the game could not be summarised (%s)\n",
                     quorbit::printableText(line.replayFile).c_str(), e.what());
        return 1;
    }
    std::fwrite(text.data(), 1, text.size(), stdout);
    return std::fflush(stdout) == 0 ? 0 : 1;
}

}  // namespace quorbit::shell
