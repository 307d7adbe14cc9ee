#include "shell/headless.h"

#include <QCoreApplication>
#include <QStringList>
#include <cstdio>

#include "server/serverhost.h"
#include "shell/cmdline.h"
#include "shell/stopsignals.h"

namespace quorbit::shell {

int runHeadless(int argc, char** argv) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Quorbit");
    std::vector<std::string> args;
    const QStringList qargs = QCoreApplication::arguments();
    for (qsizetype i = 1; i < qargs.size(); ++i) args.push_back(qargs[i].toStdString());
    const CommandLine line = parseCommandLine(args);
    if (!line.error.empty()) {
        std::fprintf(stderr, "quorbit: %s\nusage: quorbit --server [--port N]\n", line.error.c_str());
        return 2;
    }
    StopSignals stop([] { QCoreApplication::quit(); });
    if (!stop.installed()) {
        std::perror("quorbit: pipe");
        return 1;
    }

    serverhost::ServerHost host;
    if (!host.listen(line.port)) {
        std::fprintf(stderr, "quorbit: cannot serve on port %d: %s\n", line.port, host.errorText().c_str());
        return 1;
    }
    std::fprintf(stderr, "Quorbit server listening on port %d\n", line.port);
    const int rc = app.exec();
    return rc;
}

}  // namespace quorbit::shell
