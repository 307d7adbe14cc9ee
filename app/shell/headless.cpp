#include "shell/headless.h"

#include <QCoreApplication>
#include <cstdio>

#include "server/serverhost.h"
#include "shell/cmdline.h"
#include "shell/stopsignals.h"

namespace quorbit::shell {

int runHeadless(int argc, char** argv, const CommandLine& line) {
    QCoreApplication app(argc, argv);
    QCoreApplication::setApplicationName("Quorbit");
    StopSignals stop([] { QCoreApplication::quit(); });
    if (!stop.installed()) {
        std::perror("quorbit: pipe");
        return 1;
    }

    serverhost::ServerHost host;
    host.setZubolevel(line.zubo);
    if (!host.listen(line.port)) {
        std::fprintf(stderr, "quorbit: cannot serve on port %d: %s\n", line.port, host.errorText().c_str());
        return 1;
    }
    std::fprintf(stderr, "Quorbit server listening on port %d\n", line.port);
    const int rc = app.exec();
    return rc;
}

}  // namespace quorbit::shell
