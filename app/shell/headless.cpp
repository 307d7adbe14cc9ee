#include "shell/headless.h"

#include <fcntl.h>
#include <signal.h>
#include <unistd.h>

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QStringList>
#include <cerrno>
#include <cstdio>

#include "server/serverhost.h"
#include "shell/cmdline.h"

namespace quorbit::shell {
namespace {

int stopPipe[2] = {-1, -1};

extern "C" void onStopSignal(int) {
    const int saved = errno;
    const char byte = 1;
    [[maybe_unused]] const auto written = ::write(stopPipe[1], &byte, 1);
    errno = saved;
}

// SIGINT and SIGTERM end the event loop through a pipe, so that the server's
// destructors run (the word file it wrote is removed again).
bool installStopSignals() {
    if (::pipe2(stopPipe, O_CLOEXEC | O_NONBLOCK) != 0) return false;
    struct sigaction sa {};
    sa.sa_handler = onStopSignal;
    sigemptyset(&sa.sa_mask);
    sa.sa_flags = SA_RESTART;
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
    return true;
}

}  // namespace

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
    if (!installStopSignals()) {
        std::perror("quorbit: pipe");
        return 1;
    }
    QSocketNotifier stop(stopPipe[0], QSocketNotifier::Read);
    QObject::connect(&stop, &QSocketNotifier::activated, &app, [] { QCoreApplication::quit(); });

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
